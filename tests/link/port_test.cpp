// Finding the controller's port by name and opening it by index, on pseudo-terminals listed as
// the machine's serial ports: the title, the stored "controlport" and the line settings.
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
#include "settings/config.h"
#include "tests/link/link_fixture.h"
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
    std::vector<std::string> listed;
    std::string name;
    std::int32_t listedIndex;  // -1: no port of that name
};

void PrintTo(const LookupCase& c, std::ostream* out) {
    *out << c.label;
}

const LookupCase kLookups[] = {
    {"First", {"/tmp/zq8-a", "/tmp/zq8-b"}, "/tmp/zq8-a", 0},
    {"Last", {"/tmp/zq8-a", "/tmp/zq8-b"}, "/tmp/zq8-b", 1},
    {"TwoEqualNamesGiveTheLowerIndex", {"/tmp/zq8-a", "/tmp/zq8-b", "/tmp/zq8-b"}, "/tmp/zq8-b", 1},
    {"Absent", {"/tmp/zq8-a", "/tmp/zq8-b"}, "/tmp/zq8-c", -1},
    // No port has an empty name, and the port off the end of the list is not one of them.
    {"EmptyName", {"/tmp/zq8-a", "/tmp/zq8-b"}, "", -1},
    {"CaseMatters", {"/tmp/zq8-a"}, "/TMP/ZQ8-A", -1},
    {"WholeNameOnly", {"/tmp/zq8-ab"}, "/tmp/zq8-a", -1},
    {"NothingListed", {}, "", -1},
};

class PortLookupTest : public zq8test::ControllerLinkTest,
                       public testing::WithParamInterface<LookupCase> {};

TEST_P(PortLookupTest, GivesTheIndexOfTheFirstPortOfThatName) {
    const LookupCase& c = GetParam();
    List(c.listed);
    EXPECT_EQ(window->getserialnum(c.name), c.listedIndex < 0 ? -1 : Listed(c.listedIndex));
}

INSTANTIATE_TEST_SUITE_P(Names, PortLookupTest, testing::ValuesIn(kLookups),
                         [](const testing::TestParamInfo<LookupCase>& info) {
                             return info.param.label;
                         });

// Runs only where the system lists no serial port of its own (a container, most CI machines); a
// machine with a ttyS0 cannot be made to show an empty list.
TEST_F(PortTest, WithNoPortsAtAllNoNameIsFound) {
    listed.reset();
    if (fw::System::SerialPortCount() != 0) {
        GTEST_SKIP() << "this machine lists serial ports of its own";
    }
    for (const std::string name : {"", "ttyS0", box.SlavePath().c_str()}) {
        EXPECT_EQ(window->getserialnum(name), -1) << name;
    }
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

TEST_F(PortTest, ANegativeIndexOnlyClosesThePort) {
    // Before any port was opened: the title from the layout stays, and no file is made.
    window->opencontrollerport(-1);
    EXPECT_EQ(window->Title(), "ZQ8");
    EXPECT_FALSE(std::filesystem::exists(zq8test::SettingsFile()));

    for (std::int32_t n : {-1, -5, INT32_MIN}) {
        SCOPED_TRACE(n);
        window->opencontrollerport(BoxIndex());
        const std::string fileBefore = zq8test::ReadBytes(zq8test::SettingsFile());

        window->opencontrollerport(n);
        window->cmdout(0x0C);
        EXPECT_EQ(window->Title(), "ZQ8-" + box.SlavePath());
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
