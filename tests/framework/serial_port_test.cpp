// The machine's list of serial ports: which ttys of the system are ports, their order, the paths of
// ZQ8_SERIAL_PORTS after them, the lookup by name, and one listing per event.
#include "framework/serial.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "framework/serial_port_private.h"
#include "tests/support/fake_system_ports.h"
#include "tests/support/pseudo_terminal.h"

namespace {

using zq8test::FakeSystemPorts;
using zq8test::ListedSerialPorts;

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
    {"UsbAdapter", {"ttyUSB0", true, "ftdi_sio", false}, true},
    {"AcmModem", {"ttyACM0", true, "cdc_acm", false}, true},
    {"ParentWithoutDriver", {"ttyX0", true, "", false}, true},
    // A UART slot the 8250 driver reserved with nothing fitted behind it.
    {"Serial8250WithoutUart", {"ttyS3", true, "serial8250", false}, false},
    {"Serial8250WithUart", {"ttyS0", true, "serial8250", true}, true},
    // On newer kernels the 8250 ports hang on the serial core's port devices.
    {"SerialCorePort", {"ttyS0", true, "port", false}, true},
    {"VirtualConsole", {"tty0", false, "", false}, false},
    {"VirtualTtyNamedLikeAPort", {"ttyUSB0", false, "", false}, false},
    {"Rfcomm", {"rfcomm0", false, "", false}, true},
    {"RfcommLast", {"rfcomm255", false, "", false}, true},
    {"RfcommPastTheLast", {"rfcomm256", false, "", false}, false},
    {"RfcommWithoutNumber", {"rfcomm", false, "", false}, false},
    {"RfcommNotANumber", {"rfcomm1a", false, "", false}, false},
    {"NullModem", {"tnt0", false, "", false}, true},
    {"UsbGadget", {"ttyGS0", false, "", false}, true},
};

class SerialPortRuleTest : public testing::TestWithParam<RuleCase> {};

TEST_P(SerialPortRuleTest, DecidesFromTheKernelsFacts) {
    EXPECT_EQ(fw::IsSerialPort(GetParam().tty), GetParam().isPort);
}

INSTANTIATE_TEST_SUITE_P(Ttys, SerialPortRuleTest, testing::ValuesIn(kRules),
                         [](const testing::TestParamInfo<RuleCase>& instance) {
                             return instance.param.label;
                         });

// Every kind of tty the rule tells apart, laid out as the kernel does.
class SystemPortsTest : public testing::Test {
protected:
    SystemPortsTest() {
        system.AddPort("ttyUSB1", box.SlavePath());
        system.AddPort("ttyACM0", box.SlavePath(), "cdc_acm");
        system.AddPort("ttyUSB0", box.SlavePath());
        system.AddPort("ttyX0", box.SlavePath(), "");
        // A pseudo-terminal is no UART: TIOCGSERIAL fails on it as on an empty 8250 slot.
        system.AddPort("ttyS1", box.SlavePath(), "serial8250");
        system.AddPort("ttyS0", box.SlavePath(), "port");
        system.AddVirtualTty("tty0");
        system.AddVirtualTty("ptmx");
        system.AddVirtualTty("rfcomm3");
        system.AddVirtualTty("rfcomm300");
        system.AddVirtualTty("ttyGS0");
    }

    zq8test::PseudoTerminal box;
    FakeSystemPorts system;
};

TEST_F(SystemPortsTest, ThePortsInOrderOfTheirNamesThenTheListedPaths) {
    ListedSerialPorts listed({"/dev/pts/97", "/tmp/zq8-box"});
    EXPECT_EQ(ListedNames(),
              (std::vector<std::string>{"rfcomm3", "ttyACM0", "ttyGS0", "ttyS0", "ttyUSB0",
                                        "ttyUSB1", "ttyX0", "/dev/pts/97", "/tmp/zq8-box"}));
    EXPECT_EQ(fw::System::SerialPort(4)->DevicePath(), (system.Root() / "dev/ttyUSB0").string());
    EXPECT_EQ(fw::System::SerialPort(7)->DevicePath(), "/dev/pts/97");
}

// The start finds its stored port by checking that one device: it must take exactly the ports
// the full list takes, and give the same device.
TEST_F(SystemPortsTest, ALookupByNameAgreesWithTheListOnEveryTty) {
    const std::int32_t count = fw::System::SerialPortCount();
    // Names the rule would take, of ttys that are not there, among them.
    std::vector<std::string> names = {"ttyUSB9", "rfcomm7", "ttyGS1", "TTYUSB0",
                                      "",        ".",       "..",     "class"};
    for (const auto& entry : std::filesystem::directory_iterator(system.Root() / "sys/class/tty")) {
        names.push_back(entry.path().filename().string());
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        std::shared_ptr<fw::SerialPort> listed;
        for (std::int32_t i = 0; i < count && listed == nullptr; ++i) {
            if (fw::System::SerialPort(i)->Name() == name) {
                listed = fw::System::SerialPort(i);
            }
        }
        const std::shared_ptr<fw::SerialPort> found = fw::System::SerialPortNamed(name);
        ASSERT_EQ(found != nullptr, listed != nullptr);
        if (found != nullptr) {
            EXPECT_EQ(found->Name(), listed->Name());
            EXPECT_EQ(found->DevicePath(), listed->DevicePath());
        }
    }
}

TEST_F(SystemPortsTest, ALookupByNameListsNoSystemPort) {
    ListedSerialPorts listed({box.SlavePath()});
    const fw::ListingCounts before = fw::SerialPortListingCounts();
    EXPECT_NE(fw::System::SerialPortNamed("ttyUSB0"), nullptr);
    EXPECT_EQ(fw::System::SerialPortNamed("ttyUSB7"), nullptr);
    EXPECT_NE(fw::System::SerialPortNamed(box.SlavePath()), nullptr);
    EXPECT_EQ(fw::System::SerialPortNamed(""), nullptr);
    const fw::ListingCounts after = fw::SerialPortListingCounts();
    EXPECT_EQ(after.systemListings, before.systemListings);
    // A system name found reads no ZQ8_SERIAL_PORTS; nor does an empty one.
    EXPECT_EQ(after.listedReads, before.listedReads + 2);
}

// A count and then each port in turn see one list, taken once; the next event takes it afresh,
// and sees an adapter plugged in meanwhile.
TEST_F(SystemPortsTest, OneListingServesAnEventAndTheNextEventListsAfresh) {
    const fw::ListingCounts before = fw::SerialPortListingCounts();
    const std::vector<std::string> first = ListedNames();
    EXPECT_EQ(fw::SerialPortListingCounts().systemListings, before.systemListings + 1);
    EXPECT_EQ(fw::SerialPortListingCounts().listedReads, before.listedReads + 1);

    system.AddPort("ttyACM1", box.SlavePath(), "cdc_acm");
    std::vector<std::string> second = ListedNames();
    EXPECT_EQ(fw::SerialPortListingCounts().systemListings, before.systemListings + 2);
    ASSERT_EQ(second.size(), first.size() + 1);
    EXPECT_EQ(second[1], "ttyACM0");
    EXPECT_EQ(second[2], "ttyACM1");
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
    EXPECT_EQ(fw::System::SerialPortNamed("/tmp/zq8-\nb"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: ZQ8_SERIAL_PORTS entry \"/tmp/zq8-\\nb\" skipped: a port name cannot hold a "
              "line break\n"
              "zq8: ZQ8_SERIAL_PORTS entry \"/tmp/zq8-c\\r\" skipped: a port name cannot hold a "
              "line break\n"
              "zq8: ZQ8_SERIAL_PORTS entry \"\\r\\n\" skipped: a port name cannot hold a line "
              "break\n");

    // Said once a run: the dialog reads the list at every showing.
    zq8test::LetTheEventInHandEnd();
    testing::internal::CaptureStderr();
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"/tmp/zq8-a", "/tmp/zq8-d"}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

}  // namespace
