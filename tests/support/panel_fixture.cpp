#include "tests/support/panel_fixture.h"

#include <QAction>
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "framework/menu.h"
#include "framework/window_private.h"
#include "panel/startup.h"
#include "tests/support/temp_config.h"

namespace zq8test {

void PanelTest::TearDown() {
    window.reset();
    entry::finalize();
}

void PanelTest::ListPorts(std::vector<std::string> extra) {
    extra.insert(extra.begin(), pty.SlavePath());
    ports.reset();
    ports.emplace(extra);
    listedPaths = extra;
}

void PanelTest::WriteSettings(const std::vector<std::string>& lines) {
    std::filesystem::create_directories(SettingsFolder());
    std::ofstream out(SettingsFile(), std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) {
        out << line << '\n';
    }
}

std::vector<std::string> PanelTest::SettingsLines() const {
    std::ifstream in(SettingsFile(), std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

void PanelTest::StartPanel() {
    entry::initialize();
    entry::Startup();
    window = zq8::zq8_();
    ProcessEvents();
}

void PanelTest::ProcessEvents() {
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
    }
}

std::string PanelTest::Received(std::size_t n) {
    return pty.ReadExactly(n, std::chrono::milliseconds(2000));
}

bool PanelTest::NothingMoreArrives() {
    ProcessEvents();
    return pty.ReadExactly(1, std::chrono::milliseconds(100)).empty();
}

int PanelTest::RowOf(const std::string& path) const {
    const auto found = std::find(listedPaths.begin(), listedPaths.end(), path);
    return found == listedPaths.end() ? -1 : 1 + int(found - listedPaths.begin());
}

void PanelTest::Choose(fw::MenuItem* item) {
    ASSERT_NE(item, nullptr);
    QAction* action = window->GetPrivate().actions.at(item);
    ASSERT_TRUE(action->isEnabled()) << item->Name();
    action->trigger();
    ProcessEvents();
}

std::string PanelTest::PanelsOwnLines(const std::string& err) {
    std::istringstream in(err);
    std::string own;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("zq8: ", 0) == 0 || line.rfind("cannot open ", 0) == 0) {
            own += line + "\n";
        }
    }
    return own;
}

}  // namespace zq8test
