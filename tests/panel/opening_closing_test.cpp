// The main window's Open as the user meets it: the stored port reopened, found again by its name,
// on the system's list or on ZQ8_SERIAL_PORTS, without listing the system's ports; and the colours
// it gives the colour keys. Its Close: the run ends with the port given back as it was found.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "controls/cbkey2.h"
#include "framework/picture.h"
#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/panel_fixture.h"
#include "tests/support/tty_settings.h"

namespace zq8test {
namespace {

struct StoredPortCase {
    std::string label;
    std::string stored;  // "" stores no port; "@box" stands for the box's own device path
    bool listBox;        // the box in ZQ8_SERIAL_PORTS
    bool opens;
};

void PrintTo(const StoredPortCase& c, std::ostream* out) {
    *out << c.label;
}

// The fake system has the box on ttyUSB0 (an adapter), and on ttyS1 (an 8250 slot it is no
// UART for).
const StoredPortCase kStoredPorts[] = {
    {"NoneStored", "", true, false},
    {"ASystemPort", "ttyUSB0", false, true},
    {"ASystemPortNoLongerThere", "ttyUSB1", true, false},
    {"ASystemTtyThatIsNoPort", "ttyS1", false, false},
    {"AListedPath", "@box", true, true},
    // The device is there, but the user no longer lists it.
    {"APathNoLongerListed", "@box", false, false},
};

class StoredPortTest : public PanelTest, public testing::WithParamInterface<StoredPortCase> {};

TEST_P(StoredPortTest, IsOpenedAgainWhenThereWithoutAListing) {
    const StoredPortCase& c = GetParam();
    FakeSystemPorts system;
    system.AddPort("ttyUSB0", pty.SlavePath());
    system.AddPort("ttyS1", pty.SlavePath(), "serial8250");
    if (c.listBox) {
        ListPorts();
    }
    const std::string stored = c.stored == "@box" ? pty.SlavePath() : c.stored;
    if (!stored.empty()) {
        WriteSettings({"controlport", stored});
    }

    const fw::ListingCounts before = fw::SerialPortListingCounts();
    StartPanel();
    const fw::ListingCounts after = fw::SerialPortListingCounts();
    EXPECT_EQ(after.systemListings, before.systemListings);
    if (stored.empty()) {
        EXPECT_EQ(after.listedReads, before.listedReads);
    }

    EXPECT_EQ(window->Title(), "Sony SIRC");
    if (c.opens) {
        EXPECT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    } else {
        EXPECT_TRUE(NothingMoreArrives());
    }
    // The name stays stored whether or not its port is there.
    if (!stored.empty()) {
        const auto lines = SettingsLines();
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], "controlport");
        EXPECT_EQ(lines[1], stored);
    }
}

INSTANTIATE_TEST_SUITE_P(Stored, StoredPortTest, testing::ValuesIn(kStoredPorts),
                         [](const testing::TestParamInfo<StoredPortCase>& instance) {
                             return instance.param.label;
                         });

class OpeningTest : public PanelTest {};

TEST_F(OpeningTest, ColoursTheColourKeysRedLimeYellowBlueFromLeftToRight) {
    StartPanel();
    struct {
        std::int32_t index;
        std::uint32_t colour;
    } const keys[] = {{103, 0xFF0000}, {104, 0x00FF00}, {105, 0xFFFF00}, {102, 0x0000FF}};
    std::int32_t left = -1;
    for (const auto& want : keys) {
        const cbkey2& key = window->colork(want.index);
        EXPECT_GT(key.Left(), left) << "key " << want.index << " stands right of the one before";
        left = key.Left();
        EXPECT_EQ(key.litcolor.Value(), want.colour) << "key " << want.index;
        // Drawn in it at once, not only at the next repaint.
        const fw::PixelColor body = key.Pixel(16, 10);
        EXPECT_EQ(body.color.Value(), want.colour) << "key " << want.index;
        EXPECT_EQ(body.alpha, 255) << "key " << want.index;
    }
}

// The end of a run closes the port itself rather than leave it to the process's end, which would
// keep the panel's line settings on it and drop bytes still queued.
TEST_F(OpeningTest, TheRunsEndGivesThePortBackAsItWasFound) {
    const TtySettings before = ReadTtySettings(pty.SlaveFd());
    ListPorts();
    WriteSettings({"controlport", pty.SlavePath()});
    StartPanel();
    ASSERT_EQ(HexBytes(Received(6)), "03 B1 01 06 00 BB");
    ASSERT_FALSE(ReadTtySettings(pty.SlaveFd()) == before) << "the panel set the line up";
    ASSERT_TRUE(IsExclusive(pty.SlaveFd()));

    window->Close();
    EXPECT_FALSE(window->Serialc().IsOpen());
    EXPECT_FALSE(IsExclusive(pty.SlaveFd()));
    EXPECT_TRUE(ReadTtySettings(pty.SlaveFd()) == before);
}

}  // namespace
}  // namespace zq8test
