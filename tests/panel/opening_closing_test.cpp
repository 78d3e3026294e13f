// The main window's Open as the user meets it: the stored port reopened, found again by its name,
// on the system's list or on ZQ8_SERIAL_PORTS, or a line saying why not; and the colours it gives
// the colour keys. Its Close: the run ends with the port given back as it was found.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>

#include "controls/cbkey2.h"
#include "framework/picture.h"
#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/panel_fixture.h"
#include "tests/support/temp_config.h"
#include "tests/support/tty_settings.h"

namespace zq8test {
namespace {

struct StoredPortCase {
    std::string label;
    std::string stored;  // "" stores no port; "@box" the box's device path, "@gone" a missing one
    bool listBox;        // the box, and the missing path, in ZQ8_SERIAL_PORTS
    bool opens;
    std::string said;  // on stderr: "not there" or "cannot open"
};

void PrintTo(const StoredPortCase& c, std::ostream* out) {
    *out << c.label;
}

// The fake system has the box on ttyUSB0 (an adapter), and on ttyS1 (an 8250 slot with no UART).
const StoredPortCase kStoredPorts[] = {
    {"NoneStored", "", true, false, ""},
    {"ASystemPort", "ttyUSB0", false, true, ""},
    {"ASystemPortNoLongerThere", "ttyUSB1", true, false, "not there"},
    {"ASystemTtyThatIsNoPort", "ttyS1", false, false, "not there"},
    {"AListedPath", "@box", true, true, ""},
    // The device is there, but the user no longer lists it.
    {"APathNoLongerListed", "@box", false, false, "not there"},
    {"AListedPathThatDoesNotOpen", "@gone", true, false, "cannot open"},
};

class StoredPortTest : public PanelTest, public testing::WithParamInterface<StoredPortCase> {};

// A start lists the ports only to find a stored name, and says why a stored port stays closed.
TEST_P(StoredPortTest, IsOpenedAgainWhenThereAndSaysWhyWhenNot) {
    const StoredPortCase& c = GetParam();
    FakeSystemPorts system;
    system.AddPort("ttyUSB0", pty.SlavePath());
    system.AddUart8250("ttyS1", pty.SlavePath(), Uart8250Layout::SerialBase,
                       Uart8250Parent::Platform, kNoUart);
    const std::string gone = (SettingsFolder() / "no-such-device").string();
    if (c.listBox) {
        ListPorts({gone});
    }
    const std::string stored = c.stored == "@box"    ? pty.SlavePath()
                               : c.stored == "@gone" ? gone
                                                     : c.stored;
    if (!stored.empty()) {
        WriteSettings({"controlport", stored});
    }

    const fw::ListingCounts before = fw::SerialPortListingCounts();
    testing::internal::CaptureStderr();
    StartPanel();
    const std::string err = PanelsOwnLines(testing::internal::GetCapturedStderr());
    const fw::ListingCounts after = fw::SerialPortListingCounts();
    EXPECT_EQ(after.systemListings, before.systemListings + (stored.empty() ? 0 : 1));
    if (stored.empty()) {
        EXPECT_EQ(after.listedReads, before.listedReads);
    }
    if (c.said.empty()) {
        EXPECT_EQ(err, "");
    } else if (c.said == "not there") {
        EXPECT_EQ(err, "zq8: the stored port " + stored + " is not there\n");
    } else {
        EXPECT_EQ(err, "cannot open " + stored + ": " + std::strerror(ENOENT) + "\n");
    }

    // The protocol's title, as after every start with protocol 0.
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
