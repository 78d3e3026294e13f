// The controller box on a pseudo-terminal, listed as the machine's first serial port, and the
// main window with its link controls, over a settings store loaded from this test's own folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/serial.h"
#include "framework/window.h"
#include "panel/zq8.h"
#include "settings/config.h"
#include "tests/link/controller_window.h"
#include "tests/support/frames.h"
#include "tests/support/pseudo_terminal.h"

namespace zq8test {

inline constexpr std::chrono::seconds kReadTimeout{10};
// The log shows at this height and hides at the other one.
inline constexpr std::int32_t kLogShown = 584;
inline constexpr std::int32_t kLogHidden = 474;

class ControllerLinkTest : public testing::Test {
protected:
    ControllerLinkTest() {
        config::initconfig("zq8.ini");
        window = MainWindowWithLinkControls();
        List({box.SlavePath()});
    }

    ~ControllerLinkTest() override {
        window.reset();
        fw::ReleaseAllWindows();
    }

    // Replaces the listed ports, and takes the list as the port dialog would show it: an index
    // means a place in the list last taken. The test programs' system has no ports of its own,
    // so the k-th listed path is port index k.
    void List(const std::vector<std::string>& paths) {
        listed.reset();
        listed.emplace(paths);
        TakeTheList();
    }
    static void TakeTheList() { (void)fw::System::SerialPortCount(); }
    static std::int32_t Listed(std::int32_t k) { return k; }
    static std::int32_t BoxIndex() { return Listed(0); }

    fw::Listbox& Log() const { return CommandLog(*window); }

    // Proves that nothing reached the box since the last read: reopens it, sends one frame, and
    // expects that frame alone.
    void ExpectNothingArrivedSinceLastRead() {
        window->opencontrollerport(BoxIndex());
        const std::string marker = CommandFrame(0x5A);
        window->cmdout(0x5A);
        EXPECT_EQ(HexRow(box.ReadExactly(marker.size(), kReadTimeout)), HexRow(marker));
        EXPECT_EQ(box.Available(), 0u);
    }

    PseudoTerminal box;
    std::optional<ListedSerialPorts> listed;
    std::shared_ptr<zq8> window;
};

}  // namespace zq8test
