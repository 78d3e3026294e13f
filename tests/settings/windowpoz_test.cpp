// Window positions kept under the window's title: each coordinate restored on its own.
#include <gtest/gtest.h>

#include <fstream>

#include "framework/text.h"
#include "framework/window.h"
#include "settings/config.h"
#include "tests/support/temp_config.h"

namespace {

class Positioned : public fw::Window {
public:
    static const fw::ClassInfo& Class() {
        static const fw::ClassInfo info{"Positioned.Positioned", &fw::Window::Class(), {}};
        return info;
    }
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }
    void Layout() override { SetTitle("Select Port"); }
};

class WindowPositionTest : public testing::Test {
protected:
    void Load(const std::vector<std::string>& lines) {
        std::filesystem::create_directories(zq8test::SettingsFolder());
        std::ofstream out(zq8test::SettingsFile());
        for (const auto& line : lines) {
            out << line << '\n';
        }
        out.close();
        config::initconfig("zq8.ini");
    }
    void TearDown() override { fw::ReleaseAllWindows(); }
};

TEST_F(WindowPositionTest, EachStoredCoordinateIsRestoredOnItsOwn) {
    struct Case {
        std::vector<std::string> lines;
        int left;
        int top;
    } const cases[] = {
        {{}, 10, 20},
        {{"Select Port_left", "300"}, 300, 20},
        {{"Select Port_top", "150"}, 10, 150},
        {{"Select Port_left", "", "Select Port_top", "44"}, 0, 44},
        {{"Select Port_left", "-12", "Select Port_top", "7"}, -12, 7},
        {{"Other_left", "99"}, 10, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.empty() ? "nothing stored" : c.lines.front());
        Load(c.lines);
        auto window = fw::ImplicitInstance<Positioned>();
        window->SetLeft(10);
        window->SetTop(20);
        config::getwindowpoz(*window);
        EXPECT_EQ(window->Left(), c.left);
        EXPECT_EQ(window->Top(), c.top);
        window->Close();
    }
}

TEST_F(WindowPositionTest, StoringAPositionAddsBothKeysAndReadsBack) {
    Load({"zq8lang", "0"});
    auto window = fw::ImplicitInstance<Positioned>();
    window->SetLeft(123);
    window->SetTop(77);
    config::putwindowpoz(*window);
    EXPECT_EQ(config::parray[2], "Select Port_left");
    EXPECT_EQ(config::parray[3], "123");
    EXPECT_EQ(config::parray[4], "Select Port_top");
    EXPECT_EQ(config::parray[5], "77");
    config::initconfig("zq8.ini");
    window->SetLeft(0);
    window->SetTop(0);
    config::getwindowpoz(*window);
    EXPECT_EQ(window->Left(), 123);
    EXPECT_EQ(window->Top(), 77);
}

}  // namespace
