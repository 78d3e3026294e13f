// Finding the controller's port by name and opening it, by index or as found, on pseudo-terminals
// listed as the machine's serial ports: the title, the stored "controlport" and the line settings.
#include <gtest/gtest.h>

#include <termios.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "settings/config.h"
#include "tests/link/link_fixture.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/file_bytes.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/temp_config.h"
#include "tests/support/tty_settings.h"

namespace {

using zq8test::CommandFrame;
using zq8test::HexRow;
using zq8test::kReadTimeout;

using PortTest = zq8test::ControllerLinkTest;

// What a fresh load of the settings file finds under "controlport".
std::string StoredControlPort() {
    config::initconfig("zq8.ini");
    return config::getstring("controlport");
}

struct LookupCase {
    std::string label;
    std::vector<std::string> systemPorts;  // on a device of their own, in the fake system
    std::vector<std::string> listed;       // in ZQ8_SERIAL_PORTS
    std::string name;                      // "@x" stands for the system's device node of x
    std::int32_t index;                    // the system's ports come first, by name
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.label;
}

const LookupCase kLookups[] = {
    {"ListedFirst", {}, {"/tmp/zq8-a", "/tmp/zq8-b"}, "/tmp/zq8-a", 0},
    {"ListedLast", {}, {"/tmp/zq8-a", "/tmp/zq8-b"}, "/tmp/zq8-b", 1},
    {"ListedTwiceGivesTheLower", {}, {"/tmp/zq8-a", "/tmp/zq8-b", "/tmp/zq8-b"}, "/tmp/zq8-b", 1},
    {"ListedAbsent", {"ttyUSB0"}, {"/tmp/zq8-a"}, "/tmp/zq8-c", -1},
    {"SystemName", {"ttyUSB0", "ttyACM0"}, {"/tmp/zq8-a"}, "ttyUSB0", 1},
    {"SystemAbsent", {"ttyUSB0"}, {"/tmp/zq8-a"}, "ttyUSB1", -1},
    // A device path never names a system port, even one whose node it is.
    {"SystemNodeIsNoName", {"ttyUSB0"}, {}, "@ttyUSB0", -1},
    // The system's ports come first in the list, so a listed entry of the same name loses.
    {"SystemBeforeListed", {"ttyUSB0"}, {"ttyUSB0"}, "ttyUSB0", 0},
    {"ListedWithoutSlash", {}, {"ttyUSB0"}, "ttyUSB0", 0},
    // No port has an empty name, not even with empty entries listed.
    {"EmptyName", {"ttyUSB0"}, {"", "/tmp/zq8-a", ""}, "", -1},
    {"CaseMatters", {"ttyUSB0"}, {"/tmp/zq8-a"}, "TTYUSB0", -1},
    {"WholeNameOnly", {"ttyUSB01"}, {"/tmp/zq8-ab"}, "/tmp/zq8-a", -1},
    {"WholeSystemNameOnly", {"ttyUSB01"}, {"/tmp/zq8-ab"}, "ttyUSB0", -1},
    {"FolderNamesAreNoPorts", {"ttyUSB0"}, {}, "..", -1},
    {"NothingAtAll", {}, {}, "ttyS0", -1},
};

class PortLookupTest : public zq8test::ControllerLinkTest,
                       public testing::WithParamInterface<LookupCase> {};

TEST_P(PortLookupTest, GivesTheIndexOfTheFirstPortOfThatName) {
    const LookupCase& c = GetParam();
    zq8test::FakeSystemPorts system;
    for (const std::string& name : c.systemPorts) {
        system.AddPort(name, box.SlavePath());
    }
    List(c.listed);
    const std::string name =
        c.name.rfind('@', 0) == 0 ? (system.Root() / "dev" / c.name.substr(1)).string() : c.name;

    const fw::ListingCounts before = fw::SerialPortListingCounts();
    const std::int32_t index = window->getserialnum(name);
    EXPECT_EQ(index, c.index);
    // One listing for a name; none for no name at all, the start's case when nothing is stored.
    EXPECT_EQ(fw::SerialPortListingCounts().systemListings,
              before.systemListings + (name.empty() ? 0 : 1));
    if (index >= 0) {
        EXPECT_EQ(fw::System::SerialPort(index)->Name(), name);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, PortLookupTest, testing::ValuesIn(kLookups),
                         [](const testing::TestParamInfo<LookupCase>& instance) {
                             return instance.param.label;
                         });

TEST_F(PortTest, WithNoPortsAtAllNoNameIsFound) {
    listed.reset();
    ASSERT_EQ(fw::System::SerialPortCount(), 0);
    for (const std::string& name : {std::string(), std::string("ttyS0"), box.SlavePath()}) {
        EXPECT_EQ(window->getserialnum(name), -1) << name;
    }
}

// The first of the machine's ports, index 0, is as good as any: a user whose only adapter is
// ttyUSB0 must reach the box.
TEST_F(PortTest, TheFirstSystemPortOpensAtIndexZero) {
    zq8test::PseudoTerminal adapter;
    zq8test::FakeSystemPorts system;
    system.AddPort("ttyUSB0", adapter.SlavePath());
    TakeTheList();
    window->opencontrollerport(0);
    EXPECT_EQ(window->Title(), "ZQ8-ttyUSB0");
    EXPECT_EQ(StoredControlPort(), "ttyUSB0");
    window->cmdout(0x0C);
    EXPECT_EQ(HexRow(adapter.ReadExactly(5, kReadTimeout)), HexRow(CommandFrame(0x0C)));

    // The listed box follows the system's port.
    window->opencontrollerport(1);
    EXPECT_EQ(window->Title(), "ZQ8-" + box.SlavePath());
    EXPECT_EQ(adapter.Available(), 0u);
}

TEST_F(PortTest, APortFoundByNameOpensAtItsIndex) {
    zq8test::PseudoTerminal adapter;
    zq8test::FakeSystemPorts system;
    system.AddPort("ttyUSB0", adapter.SlavePath());
    const struct {
        std::string name;
        zq8test::PseudoTerminal& end;
    } cases[] = {{"ttyUSB0", adapter}, {box.SlavePath(), box}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window->opencontrollerport(window->getserialnum(c.name));
        EXPECT_EQ(window->Title(), "ZQ8-" + c.name);
        EXPECT_EQ(StoredControlPort(), c.name);
        window->cmdout(0x0C);
        EXPECT_EQ(HexRow(c.end.ReadExactly(5, kReadTimeout)), HexRow(CommandFrame(0x0C)));
    }
}

// A stored port that is gone at the next start: the port stays closed, and neither the title nor
// the stored name changes.
TEST_F(PortTest, NoPortFoundOnlyClosesThePort) {
    window->opencontrollerport(BoxIndex());
    const std::string fileBefore = zq8test::ReadBytes(zq8test::SettingsFile());
    window->SetTitle("Sony SIRC");
    window->opencontrollerport(window->getserialnum("ttyUSB9"));
    window->cmdout(0x0C);
    EXPECT_EQ(window->Title(), "Sony SIRC");
    EXPECT_EQ(zq8test::ReadBytes(zq8test::SettingsFile()), fileBefore);
    ExpectNothingArrivedSinceLastRead();
}

TEST_F(PortTest, APortThatOpensNamesTheTitleAndIsStored) {
    window->opencontrollerport(BoxIndex());
    EXPECT_EQ(window->Title(), "ZQ8-" + box.SlavePath());
    EXPECT_TRUE(std::filesystem::exists(zq8test::SettingsFile()));
    EXPECT_EQ(StoredControlPort(), box.SlavePath());

    window->cmdout(0x0C);
    EXPECT_EQ(HexRow(box.ReadExactly(5, kReadTimeout)), HexRow(CommandFrame(0x0C)));
}

TEST_F(PortTest, TheOpenedPortRunsAtTheControllersLineSettings) {
    window->opencontrollerport(BoxIndex());
    const zq8test::TtySettings tty = zq8test::ReadTtySettings(box.SlaveFd());
    EXPECT_EQ(tty.outputBaud, 38400u);
    EXPECT_EQ(tty.inputBaud, 38400u);
    // A pseudo-terminal keeps 8 data bits and no parity whatever it is told; PARODD stays as set.
    EXPECT_EQ(tty.cflag & CSIZE, unsigned(CS8));
    EXPECT_NE(tty.cflag & PARODD, 0u);
    EXPECT_EQ(tty.cflag & CSTOPB, 0u);
    EXPECT_EQ(tty.cflag & CRTSCTS, 0u);
    EXPECT_EQ(tty.iflag & (IXON | IXOFF | IXANY), 0u);
    EXPECT_EQ(tty.oflag & OPOST, 0u);
    EXPECT_EQ(tty.lflag & (ICANON | ECHO | ISIG), 0u);
}

// "none" in the port dialog. The next start reopens the stored port, so the name stays stored;
// a title naming the closed port stops naming it, and any other title stays.
TEST_F(PortTest, ANegativeIndexClosesThePortAndOnlyATitleNamingItChanges) {
    // With no port open: the title stays as it was, and no file is made.
    window->SetTitle("Sony SIRC");
    window->opencontrollerport(-1);
    EXPECT_EQ(window->Title(), "Sony SIRC");
    EXPECT_FALSE(std::filesystem::exists(zq8test::SettingsFile()));

    const std::string boxTitle = "ZQ8-" + box.SlavePath();
    const struct {
        std::int32_t n;
        std::string before;  // "" keeps the title the opening set
        std::string after;
    } cases[] = {
        {-1, "", "ZQ8"},
        {-5, "", "ZQ8"},
        {INT32_MIN, "", "ZQ8"},
        // A start on a stored port shows the protocol, which names no port.
        {-1, "Sony SIRC", "Sony SIRC"},
        {-1, "Phillips RC6", "Phillips RC6"},
        {-1, "ZQ8-/dev/pts/other", "ZQ8-/dev/pts/other"},
        {-1, "ZQ8", "ZQ8"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.n) + " " + c.before);
        window->opencontrollerport(BoxIndex());
        ASSERT_EQ(window->Title(), boxTitle);
        if (!c.before.empty()) {
            window->SetTitle(c.before);
        }
        const std::string fileBefore = zq8test::ReadBytes(zq8test::SettingsFile());

        window->opencontrollerport(c.n);
        window->cmdout(0x0C);
        EXPECT_EQ(window->Title(), c.after);
        EXPECT_EQ(zq8test::ReadBytes(zq8test::SettingsFile()), fileBefore);
        EXPECT_EQ(StoredControlPort(), box.SlavePath());
        ExpectNothingArrivedSinceLastRead();
    }
}

TEST_F(PortTest, ReopeningTheOpenPortKeepsTheFramesInOrder) {
    window->opencontrollerport(BoxIndex());
    window->cmdout(1);
    window->opencontrollerport(BoxIndex());
    window->cmdout(2);

    const std::string expected = CommandFrame(1) + CommandFrame(2);
    EXPECT_EQ(HexRow(box.ReadExactly(expected.size(), kReadTimeout)), HexRow(expected));
    EXPECT_EQ(box.Available(), 0u);
    EXPECT_EQ(window->Title(), "ZQ8-" + box.SlavePath());
    EXPECT_EQ(StoredControlPort(), box.SlavePath());
}

TEST_F(PortTest, APortThatFailsAfterAnotherLeavesBothClosedAndTheOldNameStored) {
    const std::string missing = (zq8test::SettingsFolder() / "no-such-device").string();
    List({box.SlavePath(), missing});
    window->opencontrollerport(Listed(0));
    ASSERT_EQ(window->Title(), "ZQ8-" + box.SlavePath());

    testing::internal::CaptureStderr();
    window->opencontrollerport(Listed(1));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cannot open " + missing + ": " + std::strerror(ENOENT) + "\n");
    window->cmdout(0x0C);
    EXPECT_EQ(window->Title(), "ZQ8");
    EXPECT_EQ(StoredControlPort(), box.SlavePath());
    ExpectNothingArrivedSinceLastRead();
}

TEST_F(PortTest, AnIndexPastTheEndFailsLikeAPortThatDoesNotOpen) {
    const std::int32_t count = fw::System::SerialPortCount();
    for (std::int32_t n : {count, count + 3, INT32_MAX}) {
        SCOPED_TRACE(n);
        // From a fresh start: nothing is stored, so no file is made.
        testing::internal::CaptureStderr();
        window->opencontrollerport(n);
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(window->Title(), "ZQ8");
        EXPECT_FALSE(std::filesystem::exists(zq8test::SettingsFile()));
    }

    window->opencontrollerport(BoxIndex());
    const std::string fileBefore = zq8test::ReadBytes(zq8test::SettingsFile());
    testing::internal::CaptureStderr();
    window->opencontrollerport(count);
    testing::internal::GetCapturedStderr();
    window->cmdout(0x0C);
    EXPECT_EQ(window->Title(), "ZQ8");
    EXPECT_EQ(zq8test::ReadBytes(zq8test::SettingsFile()), fileBefore);
    ExpectNothingArrivedSinceLastRead();
}

}  // namespace
