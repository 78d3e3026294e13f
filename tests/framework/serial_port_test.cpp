// The machine's list of serial ports: which ttys of the system are ports, on the kernel's layouts
// old and new, their order, the paths of ZQ8_SERIAL_PORTS after them, what an index means once
// ports come and go, and what an ordinary user sees.
#include "framework/serial.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "framework/serial_port_private.h"
#include "tests/support/child_process.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/pseudo_terminal.h"

namespace {

using zq8test::FakeSystemPorts;
using zq8test::kNoUart;
using zq8test::kUart16550A;
using zq8test::ListedSerialPorts;
using zq8test::Uart8250Layout;
using zq8test::Uart8250Parent;

std::vector<std::string> ListedNames() {
    std::vector<std::string> names;
    const std::int32_t count = fw::System::SerialPortCount();
    for (std::int32_t i = 0; i < count; ++i) {
        names.push_back(fw::System::SerialPort(i)->Name());
    }
    return names;
}

struct RuleCase {
    std::string label;
    fw::TtyFacts tty;
    bool isPort;
};

void PrintTo(const RuleCase& c, std::ostream* out) {
    *out << c.label;
}

const RuleCase kRules[] = {
    // Other drivers' ttys publish no UART type.
    {"UsbAdapter", {"ttyUSB0", true, std::nullopt}, true},
    {"AcmModem", {"ttyACM0", true, std::nullopt}, true},
    {"Uart", {"ttyS0", true, 4}, true},
    {"UartOfAnotherKind", {"ttyAMA0", true, 83}, true},
    // A slot the 8250 driver reserved with nothing fitted behind it.
    {"SlotWithoutUart", {"ttyS3", true, 0}, false},
    // An older kernel kept the serial core's attributes from ordinary users: nothing says the
    // slot is empty, and opening it will say what is wrong.
    {"UartTypeUnreadable", {"ttyS1", true, std::nullopt}, true},
    {"VirtualConsole", {"tty0", false, std::nullopt}, false},
    {"VirtualTtyNamedLikeAPort", {"ttyUSB0", false, std::nullopt}, false},
    {"Rfcomm", {"rfcomm0", false, std::nullopt}, true},
    {"RfcommLast", {"rfcomm255", false, std::nullopt}, true},
    {"RfcommPastTheLast", {"rfcomm256", false, std::nullopt}, false},
    {"RfcommWithoutNumber", {"rfcomm", false, std::nullopt}, false},
    {"RfcommNotANumber", {"rfcomm1a", false, std::nullopt}, false},
    {"NullModem", {"tnt0", false, std::nullopt}, true},
    {"UsbGadget", {"ttyGS0", false, std::nullopt}, true},
};

class SerialPortRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(SerialPortRuleTest, DecidesFromTheKernelsFacts) {
    EXPECT_EQ(fw::IsSerialPort(GetParam().tty), GetParam().isPort);
}

INSTANTIATE_TEST_SUITE_P(Ttys, SerialPortRuleTest, testing::ValuesIn(kRules),
                         [](const testing::TestParamInfo<RuleCase>& instance) {
                             return instance.param.label;
                         });

// A PC's ttys as the kernel lays them out: the 32 8250 slots of a kernel built with that many,
// of which the firmware's one (ttyS0) and one the driver probed (ttyS1) have a UART; two USB
// adapters, a modem, and the virtual ttys every machine has, some of which are ports.
class SystemPortsTest : public testing::TestWithParam<Uart8250Layout> {
protected:
    SystemPortsTest() {
        const Uart8250Layout layout = GetParam();
        system.AddUart8250("ttyS0", box.SlavePath(), layout, Uart8250Parent::Pnp, kUart16550A);
        system.AddUart8250("ttyS1", box.SlavePath(), layout, Uart8250Parent::Platform, kUart16550A);
        for (int line = 2; line < 32; ++line) {
            system.AddUart8250("ttyS" + std::to_string(line), box.SlavePath(), layout,
                               Uart8250Parent::Platform, kNoUart);
        }
        system.AddUsbSerial("ttyUSB1", box.SlavePath());
        system.AddAcm("ttyACM0", box.SlavePath());
        system.AddUsbSerial("ttyUSB0", box.SlavePath(), "pl2303");
        for (const char* name :
             {"console", "ptmx", "tty", "ttyprintk", "rfcomm3", "rfcomm300", "tnt0", "ttyGS0"}) {
            system.AddVirtualTty(name);
        }
        for (int n = 0; n < 64; ++n) {
            system.AddVirtualTty("tty" + std::to_string(n));
        }
    }

    zq8test::PseudoTerminal box;
    FakeSystemPorts system;
};

const std::vector<std::string> kSystemsPorts = {"rfcomm3", "tnt0",  "ttyACM0", "ttyGS0",
                                                "ttyS0",   "ttyS1", "ttyUSB0", "ttyUSB1"};

TEST_P(SystemPortsTest, ThePortsInOrderOfTheirNamesThenTheListedPaths) {
    ListedSerialPorts listed({"/dev/pts/97", "/tmp/zq8-box"});
    std::vector<std::string> expected = kSystemsPorts;
    expected.insert(expected.end(), {"/dev/pts/97", "/tmp/zq8-box"});
    EXPECT_EQ(ListedNames(), expected);
    EXPECT_EQ(fw::System::SerialPort(6)->DevicePath(), (system.Root() / "dev/ttyUSB0").string());
    EXPECT_EQ(fw::System::SerialPort(8)->DevicePath(), "/dev/pts/97");
}

TEST_P(SystemPortsTest, AnUnpluggedAdapterLeavesTheListAndComesBack) {
    system.Remove("ttyUSB1");
    std::vector<std::string> expected = kSystemsPorts;
    expected.pop_back();
    EXPECT_EQ(ListedNames(), expected);
    system.AddUsbSerial("ttyUSB1", box.SlavePath());
    EXPECT_EQ(ListedNames(), kSystemsPorts);
}

INSTANTIATE_TEST_SUITE_P(Kernels, SystemPortsTest,
                         testing::Values(Uart8250Layout::BeforeSerialBase,
                                         Uart8250Layout::SerialBase),
                         [](const testing::TestParamInfo<Uart8250Layout>& instance) {
                             return instance.param == Uart8250Layout::SerialBase ? "SerialBase"
                                                                                 : "Serial8250";
                         });

// An index is a place in the list as it was counted: ports plugged in or out before it is used
// must not move it onto another port. The next count lists afresh.
TEST(SerialPortIndexTest, MeansThePortOfTheListLastCountedUntilTheNextCount) {
    FakeSystemPorts system;
    zq8test::PseudoTerminal adapter;
    system.AddUsbSerial("ttyUSB1", adapter.SlavePath());
    ListedSerialPorts listed({"/tmp/zq8-box"});
    const fw::ListingCounts before = fw::SerialPortListingCounts();
    ASSERT_EQ(fw::System::SerialPortCount(), 2);

    system.AddUsbSerial("ttyUSB0", adapter.SlavePath());
    EXPECT_EQ(fw::System::SerialPort(0)->Name(), "ttyUSB1");
    EXPECT_EQ(fw::System::SerialPort(1)->Name(), "/tmp/zq8-box");
    EXPECT_EQ(fw::System::SerialPort(2)->DevicePath(), "") << "off the list counted";
    EXPECT_EQ(fw::SerialPortListingCounts().systemListings, before.systemListings + 1);

    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"ttyUSB0", "ttyUSB1", "/tmp/zq8-box"}));
    EXPECT_EQ(fw::SerialPortListingCounts().systemListings, before.systemListings + 2);
    EXPECT_EQ(fw::SerialPortListingCounts().listedReads, before.listedReads + 2);
}

// A port from a list taken a while ago opens only while it is still on the list, on its device.
TEST(SerialPortIndexTest, APortNoLongerOnTheListDoesNotOpenAndSaysSo) {
    FakeSystemPorts system;
    zq8test::PseudoTerminal adapter;
    zq8test::PseudoTerminal box;
    system.AddUsbSerial("ttyUSB1", adapter.SlavePath());
    ListedSerialPorts listed({box.SlavePath()});
    ASSERT_EQ(fw::System::SerialPortCount(), 2);
    const auto usb = fw::System::SerialPort(0);
    const auto pty = fw::System::SerialPort(1);

    system.Remove("ttyUSB1");
    const struct {
        std::shared_ptr<fw::SerialPort> port;
        bool opens;
    } cases[] = {{usb, false}, {pty, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port->Name());
        fw::Serial serial;
        serial.SetSerialPort(c.port);
        testing::internal::CaptureStderr();
        EXPECT_EQ(serial.Open(), c.opens);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  c.opens ? "" : "zq8: the port " + c.port->Name() + " is not there\n");
    }

    // Plugged in again: the name shown is there again.
    system.AddUsbSerial("ttyUSB1", adapter.SlavePath());
    fw::Serial serial;
    serial.SetSerialPort(usb);
    EXPECT_TRUE(serial.Open());
}

// The list is the kernel's word on what is fitted; it opens no device to ask. So a user without
// access to a port still sees it, and opening it says why.
TEST(SerialPortUserTest, AnOrdinaryUserSeesThePortsAndOpeningOneSaysWhyItDoesNot) {
    FakeSystemPorts system;
    zq8test::PseudoTerminal adapter;  // root's: an ordinary user may not open it
    system.AddUsbSerial("ttyUSB0", adapter.SlavePath());
    system.AddUart8250("ttyS0", adapter.SlavePath(), Uart8250Layout::BeforeSerialBase,
                       Uart8250Parent::Pnp, kUart16550A);
    system.AddUart8250("ttyS1", adapter.SlavePath(), Uart8250Layout::BeforeSerialBase,
                       Uart8250Parent::Platform, kNoUart);
    system.AddUart8250("ttyS2", adapter.SlavePath(), Uart8250Layout::BeforeSerialBase,
                       Uart8250Parent::Platform, kNoUart);
    // As older kernels published the serial core's attributes: for root and its group alone.
    ASSERT_EQ(::chmod((system.Root() / "sys/class/tty/ttyS2/type").c_str(), 0440), 0);

    testing::internal::CaptureStderr();
    zq8test::ChildProcess child([](int report) {
        zq8test::BecomeOrdinaryUser();
        std::string said;
        for (const std::string& name : ListedNames()) {
            said += name + " ";
        }
        fw::Serial serial;
        serial.SetSerialPort(fw::System::SerialPort(2));
        said += serial.Open() ? "opened" : "not opened";
        return write(report, said.data(), said.size()) == ssize_t(said.size()) ? 0 : 1;
    });
    const std::string said = child.ReadAll();
    EXPECT_EQ(child.Wait(), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "ttyS0 ttyS2 ttyUSB0 not opened");
    EXPECT_EQ(err, "cannot open " + (system.Root() / "dev/ttyUSB0").string() + ": " +
                       std::strerror(EACCES) + "\n");
}

TEST(ListedPortsTest, ColonSeparatedWithEmptyEntriesSkipped) {
    const struct {
        std::vector<std::string> entries;
        std::vector<std::string> paths;
    } cases[] = {
        {{}, {}},
        {{""}, {}},
        {{"", ""}, {}},
        {{"/dev/pts/7"}, {"/dev/pts/7"}},
        {{"", "", "/dev/pts/7", "", "", "/dev/pts/8", "", ""}, {"/dev/pts/7", "/dev/pts/8"}},
        // Kept twice: telling them apart is for whoever looks a name up.
        {{"/dev/pts/7", "/dev/pts/7"}, {"/dev/pts/7", "/dev/pts/7"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        ListedSerialPorts listed(c.entries);
        EXPECT_EQ(ListedNames(), c.paths);
        for (std::size_t i = 0; i < c.paths.size(); ++i) {
            EXPECT_EQ(fw::System::SerialPort(std::int32_t(i))->DevicePath(), c.paths[i]);
        }
    }
}

// A name holding a line break would break the settings file's line pairs once stored.
TEST(ListedPortsTest, AnEntryHoldingALineBreakIsSkippedWithOneLineOnStderr) {
    ListedSerialPorts listed({"/tmp/zq8-a", "/tmp/zq8-\nb", "/tmp/zq8-c\r", "\r\n", "/tmp/zq8-d"});
    testing::internal::CaptureStderr();
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"/tmp/zq8-a", "/tmp/zq8-d"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: ZQ8_SERIAL_PORTS entry \"/tmp/zq8-\\nb\" skipped: a port name cannot hold a "
              "line break\n"
              "zq8: ZQ8_SERIAL_PORTS entry \"/tmp/zq8-c\\r\" skipped: a port name cannot hold a "
              "line break\n"
              "zq8: ZQ8_SERIAL_PORTS entry \"\\r\\n\" skipped: a port name cannot hold a line "
              "break\n");

    // Said once a run: the dialog reads the list at every showing.
    testing::internal::CaptureStderr();
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"/tmp/zq8-a", "/tmp/zq8-d"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
