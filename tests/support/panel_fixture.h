// The whole panel started in this process, a pseudo-terminal standing in for the controller box,
// and the settings file at hand.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "panel/zq8.h"
#include "tests/support/frames.h"
#include "tests/support/pseudo_terminal.h"

namespace zq8test {

class PanelTest : public testing::Test {
protected:
    void TearDown() override;

    // Lists the pseudo-terminal (and any further paths) as the machine's serial ports.
    void ListPorts(std::vector<std::string> extra = {});
    // Writes zq8.ini with these lines before the panel starts.
    void WriteSettings(const std::vector<std::string>& lines);
    // The lines of zq8.ini as it stands.
    std::vector<std::string> SettingsLines() const;
    // Runs the start-up as the program does, up to the event loop.
    void StartPanel();
    // Lets queued events run.
    void ProcessEvents();
    // What arrived on the controller's side: exactly n bytes, or what came within a bound.
    std::string Received(std::size_t n);
    // True when nothing more arrives for a short while.
    bool NothingMoreArrives();
    // The popup row of a path given to ListPorts: after "none" and the system's own ports, of
    // which the test programs' system has none.
    int RowOf(const std::string& path) const;
    // Runs the menu command of an item as a choice from the menu would.
    void Choose(fw::MenuItem* item);
    // The lines of captured stderr that the panel said itself, without the offscreen platform's
    // remarks ("This plugin does not support raise()").
    static std::string PanelsOwnLines(const std::string& err);

    PseudoTerminal pty;
    std::optional<ListedSerialPorts> ports;
    std::vector<std::string> listedPaths;
    std::shared_ptr<zq8> window;
};

}  // namespace zq8test
