#include "framework/serial.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "framework/open_terminals.h"
#include "framework/runtime.h"
#include "framework/serial_line_settings.h"
#include "framework/serial_termios.h"
#include "tests/support/child_process.h"
#include "tests/support/frames.h"
#include "tests/support/ordinary_user.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/support/tty_settings.h"

namespace {

using namespace std::chrono_literals;
using zq8test::Bytes;
using zq8test::Joined;
using zq8test::NumberedFrames;

constexpr auto kReadTimeout = 10s;
// Far more than a pseudo-terminal buffers (some 20 KiB), so that most of it must wait in the
// line's own queue.
constexpr std::size_t kBurstFrames = 20000;

// Sets a property the way a design-time property list does: by name, through the class record.
void SetProperty(fw::Object& object, std::string_view name, const fw::PropertyValue& value) {
    const fw::PropertyDecl* property = object.GetClassInfo().FindProperty(name);
    ASSERT_NE(property, nullptr) << name;
    const bool isBoolean = std::holds_alternative<bool>(value);
    ASSERT_EQ(property->type, isBoolean ? fw::PropertyType::Boolean : fw::PropertyType::Integer)
        << name;
    property->set(object, value);
}

struct ControlCodes {
    std::int32_t baud = 12;
    std::int32_t bits = 3;
    std::int32_t parity = 1;
    std::int32_t stop = 0;
    bool xon = false;
    bool cts = false;
};

void ApplyCodes(fw::Serial& serial, const ControlCodes& codes) {
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "Baud", codes.baud));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "Bits", codes.bits));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "Parity", codes.parity));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "Stop", codes.stop));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "XON", codes.xon));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "CTS", codes.cts));
    ASSERT_NO_FATAL_FAILURE(SetProperty(serial, "DTR", false));
}

// Runs the framework's event loop on this thread while `work` runs on another, until the work is
// done. Quit is repeated, since a first one may come before the loop has started.
void RunEventLoopDuring(const std::function<void()>& work) {
    std::atomic<bool> loopEnded{false};
    std::thread worker([&] {
        work();
        while (!loopEnded.load()) {
            fw::Quit(0);
            std::this_thread::sleep_for(10ms);
        }
    });
    fw::RuntimeRun();
    loopEnded.store(true);
    worker.join();
}

std::shared_ptr<fw::SerialPort> LastListedPort() {
    return fw::System::SerialPort(fw::System::SerialPortCount() - 1);
}

// The controller box on a pseudo-terminal, listed through ZQ8_SERIAL_PORTS, and a serial control
// with the controller's line settings.
class SerialTest : public testing::Test {
protected:
    void SetUp() override {
        Relist();
        ASSERT_NO_FATAL_FAILURE(ApplyCodes(serial, ControlCodes{}));
    }

    void Relist() { listed.emplace(std::vector<std::string>{box.SlavePath()}); }

    bool OpenBox() {
        serial.SetSerialPort(LastListedPort());
        return serial.Open();
    }

    // Closes while the box reads, and gives what arrived of the n bytes expected.
    std::string CloseWhileTheBoxReads(std::size_t n) {
        std::string arrived;
        std::thread reader([&] { arrived = box.ReadExactly(n, kReadTimeout); });
        serial.Close();
        reader.join();
        return arrived;
    }

    std::string WriteBurst() {
        const std::vector<std::string> frames = NumberedFrames(kBurstFrames);
        for (const std::string& frame : frames) {
            serial.Write(frame);
        }
        return Joined(frames);
    }

    zq8test::PseudoTerminal box;
    std::optional<zq8test::ListedSerialPorts> listed;
    fw::Serial serial;
};

TEST(SerialPortListTest, IndexOffTheListGivesAPortThatDoesNotOpen) {
    zq8test::PseudoTerminal box;
    zq8test::ListedSerialPorts listed({box.SlavePath()});
    const std::int32_t count = fw::System::SerialPortCount();
    for (std::int32_t index : {-1, -5, count, count + 3, INT32_MAX, INT32_MIN}) {
        auto port = fw::System::SerialPort(index);
        ASSERT_NE(port, nullptr) << index;
        EXPECT_EQ(port->Name(), "") << index;

        fw::Serial serial;
        serial.SetSerialPort(port);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(serial.Open()) << index;
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.rfind("cannot open ", 0), 0u) << said;
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        serial.Write(Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8}));
        serial.Close();
    }
    EXPECT_EQ(box.Available(), 0u);
}

TEST(SerialOpenFailureTest, OneLineNamesThePathAndTheSystemsReason) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zq8-serial-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string regularFile = (folder / "not-a-tty").string();
    ::close(::open(regularFile.c_str(), O_CREAT | O_WRONLY, 0644));

    const struct {
        std::string path;
        int error;
    } cases[] = {
        {(folder / "no-such-device").string(), ENOENT},
        {regularFile, ENOTTY},
        {folder.string(), EISDIR},
    };
    for (const auto& c : cases) {
        zq8test::ListedSerialPorts listed({c.path});
        fw::Serial serial;
        serial.SetSerialPort(LastListedPort());
        testing::internal::CaptureStderr();
        EXPECT_FALSE(serial.Open()) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "cannot open " + c.path + ": " + std::strerror(c.error) + "\n");
        serial.Write("still runs");
        serial.Close();
    }
    std::filesystem::remove_all(folder);
}

TEST_F(SerialTest, OpensTheListedPortAndHoldsIt) {
    auto port = LastListedPort();
    EXPECT_EQ(port->Name(), box.SlavePath());
    serial.SetSerialPort(port);
    EXPECT_EQ(serial.SerialPort(), port);
    ASSERT_TRUE(serial.Open());
    EXPECT_EQ(serial.SerialPort(), port);

    const std::string frame = Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
}

TEST_F(SerialTest, CloseIsHarmlessAndThePortOpensAgain) {
    serial.Close();
    ASSERT_TRUE(OpenBox());
    serial.Close();
    serial.Close();
    ASSERT_TRUE(serial.Open());
    // Opening what is open starts a fresh connection on the same port.
    ASSERT_TRUE(serial.Open());

    const std::string frame = Bytes({0x03, 0xB1, 0x01, 0x05, 0x00, 0xBA});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
    EXPECT_EQ(box.Available(), 0u);
}

TEST_F(SerialTest, WritesWithoutAnOpenPortAreDropped) {
    serial.Write("no port yet");
    serial.SetSerialPort(LastListedPort());
    serial.Write("chosen, not open");
    ASSERT_TRUE(serial.Open());
    serial.Close();
    serial.Write("closed again");

    ASSERT_TRUE(serial.Open());
    const std::string frame = Bytes({0x02, 0xBA, 0x00, 0x00, 0xBC});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
    EXPECT_EQ(box.Available(), 0u);
}

TEST_F(SerialTest, AFailedOpenLeavesThePreviousConnectionClosed) {
    ASSERT_TRUE(OpenBox());
    serial.SetSerialPort(fw::System::SerialPort(fw::System::SerialPortCount()));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(serial.Open());
    testing::internal::GetCapturedStderr();
    serial.Write("must not reach the box");

    ASSERT_TRUE(OpenBox());
    const std::string frame = Bytes({0x02, 0xBA, 0x44, 0x00, 0x00});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
}

TEST_F(SerialTest, FramesArriveByteForByteAndInOrder) {
    ASSERT_TRUE(OpenBox());
    // Among them the bytes a terminal left cooked would change or swallow: NUL, ^C, ^D, CR, LF,
    // XON, XOFF, DEL and 0xFF.
    const std::vector<std::string> frames = {
        Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8}),       Bytes({0x02, 0xBA, 0x44, 0x00, 0x00}),
        Bytes({0x02, 0xBA, 0xFF, 0x00, 0xBB}),       Bytes({0x02, 0xBA, 0x82, 0x00, 0x3E}),
        Bytes({0x03, 0xB1, 0x01, 0x05, 0x01, 0xBB}), Bytes({0x03, 0xB1, 0x01, 0x06, 0x01, 0xBC}),
        Bytes({0x0A, 0x0D, 0x11, 0x13, 0x03, 0x04}), Bytes({0x7F, 0xFF, 0x00, 0x0D, 0x0A}),
    };
    for (const std::string& frame : frames) {
        serial.Write(frame);
    }
    const std::string expected = Joined(frames);
    EXPECT_EQ(box.ReadExactly(expected.size(), kReadTimeout), expected);
    EXPECT_EQ(box.Available(), 0u);
}

TEST_F(SerialTest, FramesWrittenJustBeforeCloseStillArrive) {
    ASSERT_TRUE(OpenBox());
    const std::string expected = WriteBurst();
    ASSERT_LT(box.Available(), expected.size()) << "the burst never had to wait";

    const std::string arrived = CloseWhileTheBoxReads(expected.size());
    EXPECT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected);
}

TEST_F(SerialTest, QueuedBytesGoOutAsTheLineDrains) {
    ASSERT_TRUE(OpenBox());
    std::string expected = WriteBurst();
    ASSERT_LT(box.Available(), expected.size()) << "the burst never had to wait";

    std::string arrived;
    RunEventLoopDuring([&] { arrived = box.ReadExactly(expected.size(), kReadTimeout); });
    EXPECT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected);

    const std::string frame = Bytes({0x02, 0xBA, 0xEE, 0x00, 0xAA});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
}

// Three ways the box's side goes away: while the line is idle, so that only the event loop's
// watch on it can tell; under a write; and with bytes still queued for room.
struct HangUpCase {
    std::string label;
    bool burstBefore = false;
    bool writeAfter = false;
};

void PrintTo(const HangUpCase& c, std::ostream* out) {
    *out << c.label;
}

class SerialHangUpTest : public SerialTest, public testing::WithParamInterface<HangUpCase> {
protected:
    // Runs the event loop until the line is closed, within a bound.
    void ProcessEventsUntilClosed() {
        const auto deadline = std::chrono::steady_clock::now() + kReadTimeout;
        while (serial.IsOpen() && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    }
};

TEST_P(SerialHangUpTest, TheLineIsClosedAndToldOnceAndOpensAgainOnceBackToBeWatchedAgain) {
    const HangUpCase& c = GetParam();
    int errors = 0;
    serial.InstallEventHandler("Error", [&](fw::Control& sender) {
        EXPECT_EQ(&sender, &serial);
        EXPECT_FALSE(serial.IsOpen()) << "raised before the line was closed";
        ++errors;
    });
    ASSERT_TRUE(OpenBox());
    const std::string path = box.SlavePath();
    const std::string frame = Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8});
    if (c.burstBefore) {
        WriteBurst();
    } else {
        serial.Write(frame);
        ASSERT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
    }

    testing::internal::CaptureStderr();
    box.CloseMaster();
    if (c.writeAfter) {
        serial.Write(frame);
    } else {
        ProcessEventsUntilClosed();
    }
    EXPECT_FALSE(serial.IsOpen());
    EXPECT_EQ(errors, 1);
    // Nothing more to say about a line already lost, whatever is written or closed.
    serial.Write(frame);
    WriteBurst();
    QCoreApplication::processEvents();
    serial.Close();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zq8: lost " + path + ": hung up\n");
    EXPECT_EQ(errors, 1);

    box.Reopen();
    Relist();
    ASSERT_TRUE(OpenBox());
    const std::string next = Bytes({0x03, 0xB1, 0x01, 0x06, 0x00, 0xBB});
    serial.Write(next);
    EXPECT_EQ(box.ReadExactly(next.size(), kReadTimeout), next);
    EXPECT_EQ(errors, 1);

    // The line opened again is watched as the first was: an idle hang-up is seen again.
    testing::internal::CaptureStderr();
    box.CloseMaster();
    ProcessEventsUntilClosed();
    EXPECT_FALSE(serial.IsOpen());
    EXPECT_EQ(errors, 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "zq8: lost " + box.SlavePath() + ": hung up\n");
}

INSTANTIATE_TEST_SUITE_P(Ways, SerialHangUpTest,
                         testing::Values(HangUpCase{"WhileIdle", false, false},
                                         HangUpCase{"UnderAWrite", false, true},
                                         HangUpCase{"WithBytesQueued", true, false}),
                         [](const testing::TestParamInfo<HangUpCase>& instance) {
                             return instance.param.label;
                         });

TEST_F(SerialTest, BytesFromTheBoxAreLetGoAndAreNoHangUp) {
    int errors = 0;
    serial.InstallEventHandler("Error", [&](fw::Control&) { ++errors; });
    ASSERT_TRUE(OpenBox());
    testing::internal::CaptureStderr();
    const std::string noise(300, char(0x55));
    box.WriteFromBox(noise);
    // The watch on the line wakes for them; once they are let go it sleeps again.
    const auto deadline = std::chrono::steady_clock::now() + kReadTimeout;
    while (box.WaitingForTheProgram() > 0 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_EQ(box.WaitingForTheProgram(), 0u);
    EXPECT_TRUE(serial.IsOpen());
    EXPECT_EQ(errors, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    const std::string frame = Bytes({0x02, 0xBA, 0x15, 0x00, 0xD1});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
}

TEST_F(SerialTest, APortAnotherControlHoldsIsInUseAndLeftAsItsHolderSetIt) {
    ASSERT_TRUE(OpenBox());
    const zq8test::TtySettings held = zq8test::ReadTtySettings(box.SlaveFd());
    EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));

    // Another rate, so that settings put in force by the second control would show.
    fw::Serial other;
    ASSERT_NO_FATAL_FAILURE(ApplyCodes(other, ControlCodes{.baud = 0}));
    other.SetSerialPort(LastListedPort());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(other.Open());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cannot open " + box.SlavePath() + ": in use by another program\n");
    EXPECT_FALSE(other.IsOpen());
    EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));
    EXPECT_TRUE(zq8test::ReadTtySettings(box.SlaveFd()) == held);

    other.Write("not from the holder");
    const std::string frame = Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
    EXPECT_EQ(box.Available(), 0u);

    // Let go, the port is the other's to take.
    serial.Close();
    EXPECT_FALSE(zq8test::IsExclusive(box.SlaveFd()));
    ASSERT_TRUE(other.Open());
    EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));
    EXPECT_EQ(zq8test::ReadTtySettings(box.SlaveFd()).outputBaud, 300u);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(OpenBox());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "cannot open " + box.SlavePath() + ": in use by another program\n");
    const std::string next = Bytes({0x03, 0xB1, 0x01, 0x05, 0x00, 0xBA});
    other.Write(next);
    EXPECT_EQ(box.ReadExactly(next.size(), kReadTimeout), next);
    other.Close();
    EXPECT_FALSE(zq8test::IsExclusive(box.SlaveFd()));
}

// Another program holding the port by one of the two holds that tools take: a lock, or the
// terminal's exclusive flag alone. Root's open passes the flag, an ordinary user's meets it; both
// must find the port in use, and leave it as its holder set it.
TEST_F(SerialTest, APortHeldByALockOrTheExclusiveFlagAloneIsInUseForRootAndAnOrdinaryUser) {
    ApplyCodes(serial, ControlCodes{.baud = 0});
    zq8test::GiveToOrdinaryUser(box.SlavePath());
    const std::string inUse = "cannot open " + box.SlavePath() + ": in use by another program\n";
    const struct {
        const char* label;
        int take;
        int letGo;
    } holds[] = {
        {"a lock", 0, 0},
        {"the exclusive flag", TIOCEXCL, TIOCNXCL},
    };
    for (const auto& hold : holds) {
        SCOPED_TRACE(hold.label);
        if (hold.take == 0) {
            ASSERT_EQ(::flock(box.SlaveFd(), LOCK_EX | LOCK_NB), 0);
        } else {
            ASSERT_EQ(::ioctl(box.SlaveFd(), hold.take), 0);
        }
        const zq8test::TtySettings held = zq8test::ReadTtySettings(box.SlaveFd());

        testing::internal::CaptureStderr();
        EXPECT_FALSE(OpenBox());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), inUse);
        zq8test::ChildProcess ordinary([&](int report) {
            zq8test::BecomeOrdinaryUser();
            ::dup2(report, STDERR_FILENO);
            return OpenBox() ? 1 : 0;
        });
        EXPECT_EQ(ordinary.ReadAll(), inUse);
        EXPECT_EQ(ordinary.Wait(), 0);

        EXPECT_EQ(zq8test::IsExclusive(box.SlaveFd()), hold.take != 0);
        EXPECT_TRUE(zq8test::ReadTtySettings(box.SlaveFd()) == held);
        serial.Write(Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8}));
        EXPECT_EQ(box.Available(), 0u);

        // Once the holder lets go, the port opens, and closing it clears the flag it set itself.
        if (hold.take == 0) {
            ASSERT_EQ(::flock(box.SlaveFd(), LOCK_UN), 0);
        } else {
            ASSERT_EQ(::ioctl(box.SlaveFd(), hold.letGo), 0);
        }
        ASSERT_TRUE(OpenBox());
        EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));
        serial.Close();
        EXPECT_FALSE(zq8test::IsExclusive(box.SlaveFd()));
    }
}

// The box stopped reading: its pseudo-terminal fills, and the frames after wait in the line's
// queue until the quit. A 6-byte frame first, as at the panel's start, so that no buffer of the
// kernel ends on a frame's edge by chance.
TEST_F(SerialTest, ClosingAStalledLineCutsNoFrameAndCountsTheFramesItDropped) {
    ASSERT_TRUE(OpenBox());
    const std::string first = Bytes({0x03, 0xB1, 0x01, 0x06, 0x00, 0xBB});
    serial.Write(first);
    const std::vector<std::string> frames = NumberedFrames(kBurstFrames);
    for (const std::string& frame : frames) {
        serial.Write(frame);
    }

    testing::internal::CaptureStderr();
    serial.Close();
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string opening = "zq8: " + box.SlavePath() + " closed with ";
    const std::string ending = " frames not sent\n";
    ASSERT_TRUE(said.starts_with(opening) && said.ends_with(ending)) << said;
    const std::size_t dropped =
        std::stoul(said.substr(opening.size(), said.size() - opening.size() - ending.size()));
    ASSERT_GT(dropped, 0u);
    ASSERT_LT(dropped, frames.size());

    // Read only now: what the box gets is every frame the line took, each whole, and no more.
    const std::string expected = first + Joined({frames.begin(), frames.end() - long(dropped)});
    const std::string arrived = box.ReadExactly(expected.size(), kReadTimeout);
    EXPECT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected);
    EXPECT_EQ(box.ReadExactly(1, 200ms), "");
}

// When the run must end at once (the display lost), each open port gets back what it had.
TEST_F(SerialTest, AnOpenPortIsGivenBackAsItWasWhenTheRunEndsAtOnce) {
    zq8test::TtySettings slow = zq8test::ReadTtySettings(box.SlaveFd());
    slow.cflag = (slow.cflag & ~CBAUD) | B1200;
    slow.outputBaud = slow.inputBaud = 1200;
    slow.lflag |= ICANON | ECHO;
    zq8test::WriteTtySettings(box.SlaveFd(), slow);
    const zq8test::TtySettings before = zq8test::ReadTtySettings(box.SlaveFd());

    ASSERT_TRUE(OpenBox());
    ASSERT_EQ(zq8test::ReadTtySettings(box.SlaveFd()).outputBaud, 38400u);
    fw::GiveBackOpenTerminals();
    EXPECT_TRUE(zq8test::ReadTtySettings(box.SlaveFd()) == before);
    EXPECT_FALSE(zq8test::IsExclusive(box.SlaveFd()));

    // A port closed since is no longer the run's to give back.
    serial.Close();
    ASSERT_TRUE(OpenBox());
    serial.Close();
    zq8test::WriteTtySettings(box.SlaveFd(), zq8test::TtySettings(before));
    ASSERT_EQ(::ioctl(box.SlaveFd(), TIOCEXCL), 0);
    fw::GiveBackOpenTerminals();
    EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));
    ASSERT_EQ(::ioctl(box.SlaveFd(), TIOCNXCL), 0);
}

// An ordinary user meets a port without access, and one another program holds,
// in open() itself. Under root the port is opened as that user in a child.
TEST_F(SerialTest, AsAnOrdinaryUserAPortWithoutAccessOrHeldIsRefusedSayingWhy) {
    const auto openAsOrdinaryUser = [] {
        zq8test::ChildProcess child([](int report) {
            zq8test::BecomeOrdinaryUser();
            fw::Serial other;
            other.SetSerialPort(LastListedPort());
            testing::internal::CaptureStderr();
            const bool opened = other.Open();
            const std::string said = testing::internal::GetCapturedStderr();
            return ::write(report, said.data(), said.size()) == ssize_t(said.size()) && !opened ? 0
                                                                                                : 1;
        });
        const std::string said = child.ReadAll();
        EXPECT_EQ(child.Wait(), 0) << "opened";
        return said;
    };
    const std::filesystem::path device = box.SlavePath();

    std::filesystem::permissions(device, std::filesystem::perms::none);
    EXPECT_EQ(openAsOrdinaryUser(),
              "cannot open " + box.SlavePath() + ": " + std::strerror(EACCES) + "\n");

    std::filesystem::permissions(device, std::filesystem::perms(0666));
    ASSERT_TRUE(OpenBox());
    EXPECT_EQ(openAsOrdinaryUser(),
              "cannot open " + box.SlavePath() + ": in use by another program\n");
    const std::string frame = Bytes({0x02, 0xBA, 0x0C, 0x00, 0xC8});
    serial.Write(frame);
    EXPECT_EQ(box.ReadExactly(frame.size(), kReadTimeout), frame);
    EXPECT_EQ(box.Available(), 0u);
}

TEST_F(SerialTest, ClosingPutsBackTheSettingsThePortHadOnceTheBytesAreOut) {
    // A terminal as a shell leaves it: cooked, echoing, a slow rate, and output processing that
    // would turn each LF of a frame into CR LF.
    zq8test::TtySettings cooked = zq8test::ReadTtySettings(box.SlaveFd());
    cooked.iflag = ICRNL | IXON;
    cooked.oflag = OPOST | ONLCR;
    cooked.lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    cooked.cflag = (cooked.cflag & ~(CBAUD | CSTOPB | CRTSCTS)) | B1200 | CREAD | HUPCL;
    cooked.outputBaud = cooked.inputBaud = 1200;
    cooked.controlChars[VMIN] = 1;
    cooked.controlChars[VTIME] = 7;
    zq8test::WriteTtySettings(box.SlaveFd(), cooked);
    const zq8test::TtySettings before = zq8test::ReadTtySettings(box.SlaveFd());
    ASSERT_EQ(before.outputBaud, 1200u);

    for (const bool burst : {false, true}) {
        SCOPED_TRACE(burst ? "closed with a burst still queued" : "closed with nothing queued");
        ASSERT_TRUE(OpenBox());
        const zq8test::TtySettings open = zq8test::ReadTtySettings(box.SlaveFd());
        EXPECT_EQ(open.outputBaud, 38400u);
        EXPECT_EQ(open.oflag & OPOST, 0u);
        EXPECT_TRUE(zq8test::IsExclusive(box.SlaveFd()));

        // The frames count through every byte value, LF included.
        const std::string expected = burst ? WriteBurst() : "";
        if (burst) {
            ASSERT_LT(box.Available(), expected.size()) << "the burst never had to wait";
        }
        const std::string arrived = CloseWhileTheBoxReads(expected.size());
        EXPECT_EQ(arrived.size(), expected.size());
        EXPECT_TRUE(arrived == expected) << "bytes went out under the settings put back";
        EXPECT_TRUE(zq8test::ReadTtySettings(box.SlaveFd()) == before);
        EXPECT_FALSE(zq8test::IsExclusive(box.SlaveFd()));
    }
}

struct LineCase {
    std::string label;
    ControlCodes codes;
    std::uint32_t baud = 38400;
    std::uint32_t characterSize = CS8;
    std::uint32_t parity = PARENB | PARODD;
    bool twoStopBits = false;
    bool rtsCts = false;
    bool xonXoff = false;
};

std::vector<LineCase> LineCases() {
    std::vector<LineCase> cases;
    cases.push_back({"ControllerSettings", {}});

    const std::uint32_t rates[] = {300,  600,   1200,  1800,  2400,  3600,  4800,   7200,
                                   9600, 14400, 19200, 28800, 38400, 57600, 115200, 230400};
    for (std::int32_t code = 0; code < 16; ++code) {
        LineCase c{"Baud" + std::to_string(code), {}};
        c.codes.baud = code;
        c.baud = rates[code];
        cases.push_back(c);
    }
    for (std::int32_t code : {-1, 16, 1000}) {
        LineCase c{"BaudOutOfRange" + std::to_string(cases.size()), {}};
        c.codes.baud = code;
        c.baud = 9600;
        cases.push_back(c);
    }

    const std::pair<std::int32_t, std::uint32_t> sizes[] = {
        {0, CS5}, {1, CS6}, {2, CS7}, {-1, CS8}, {4, CS8}};
    for (const auto& [code, size] : sizes) {
        LineCase c{"Bits" + std::to_string(cases.size()), {}};
        c.codes.bits = code;
        c.characterSize = size;
        cases.push_back(c);
    }

    const std::pair<std::int32_t, std::uint32_t> parities[] = {
        {0, 0}, {2, PARENB}, {3, 0}, {-1, 0}};
    for (const auto& [code, parity] : parities) {
        LineCase c{"Parity" + std::to_string(cases.size()), {}};
        c.codes.parity = code;
        c.parity = parity;
        cases.push_back(c);
    }

    const std::pair<std::int32_t, bool> stops[] = {{1, true}, {2, true}, {3, false}, {-1, false}};
    for (const auto& [code, two] : stops) {
        LineCase c{"Stop" + std::to_string(cases.size()), {}};
        c.codes.stop = code;
        c.twoStopBits = two;
        cases.push_back(c);
    }

    LineCase xon{"XonXoff", {}};
    xon.codes.xon = true;
    xon.xonXoff = true;
    cases.push_back(xon);
    LineCase cts{"RtsCts", {}};
    cts.codes.cts = true;
    cts.rtsCts = true;
    cases.push_back(cts);
    return cases;
}

void PrintTo(const LineCase& c, std::ostream* out) {
    *out << c.label;
}

class LineEncodingTest : public testing::TestWithParam<LineCase> {};

TEST_P(LineEncodingTest, CodesBecomeTheseTerminalFlags) {
    const LineCase& c = GetParam();
    // A terminal as it comes up: cooked, and with settings of its own that must all be replaced.
    fw::TerminalFlags cooked;
    cooked.iflag = ICRNL | IXON | IXANY | BRKINT | ISTRIP;
    cooked.oflag = OPOST | ONLCR;
    cooked.lflag = ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    cooked.cflag = B1200 | CS7 | PARENB | CSTOPB | CRTSCTS | CREAD | HUPCL;
    const fw::TerminalFlags flags = fw::EncodeLineSettings(
        cooked, fw::DecodeLineSettings({c.codes.baud, c.codes.bits, c.codes.parity, c.codes.stop,
                                        c.codes.xon, c.codes.cts, false}));

    EXPECT_EQ(flags.outputSpeed, c.baud);
    EXPECT_EQ(flags.inputSpeed, c.baud);
    EXPECT_EQ(flags.cflag & CSIZE, c.characterSize);
    EXPECT_EQ(flags.cflag & (PARENB | PARODD), c.parity);
    EXPECT_EQ((flags.cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ((flags.cflag & CRTSCTS) != 0, c.rtsCts);
    EXPECT_EQ(flags.iflag & (IXON | IXOFF | IXANY), c.xonXoff ? IXON | IXOFF : 0u);
    EXPECT_EQ(flags.cflag & (CREAD | CLOCAL | HUPCL), CREAD | CLOCAL | HUPCL);
    EXPECT_EQ(flags.oflag & OPOST, 0u);
    EXPECT_EQ(flags.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(flags.iflag & (ICRNL | ISTRIP | BRKINT), 0u);
}

INSTANTIATE_TEST_SUITE_P(Codes, LineEncodingTest, testing::ValuesIn(LineCases()),
                         [](const testing::TestParamInfo<LineCase>& instance) {
                             return instance.param.label;
                         });

TEST(ModemLinesTest, DtrFollowsTheSettingAndNoOtherLineIsTouched) {
    const struct {
        bool dtr;
        bool rtsCts;
        bool xonXoff;
        fw::ModemLineChanges changes;
    } cases[] = {
        {false, false, false, {0, TIOCM_DTR}}, {true, false, false, {TIOCM_DTR, 0}},
        {false, true, false, {0, TIOCM_DTR}},  {true, true, false, {TIOCM_DTR, 0}},
        {false, false, true, {0, TIOCM_DTR}},  {true, true, true, {TIOCM_DTR, 0}},
    };
    for (const auto& c : cases) {
        fw::LineSettings settings;
        settings.dtr = c.dtr;
        settings.rtsCts = c.rtsCts;
        settings.xonXoff = c.xonXoff;
        const fw::ModemLineChanges changes = fw::ModemLinesAtOpen(settings);
        EXPECT_EQ(changes.raise, c.changes.raise)
            << "dtr " << c.dtr << " rtsCts " << c.rtsCts << " xonXoff " << c.xonXoff;
        EXPECT_EQ(changes.lower, c.changes.lower)
            << "dtr " << c.dtr << " rtsCts " << c.rtsCts << " xonXoff " << c.xonXoff;
    }
}

class SerialLineSettingsTest : public SerialTest, public testing::WithParamInterface<LineCase> {};

// A pseudo-terminal forces 8 data bits and clears PARENB whatever it is told, so those two are
// left to the encoding above; the rest is read back from the kernel.
TEST_P(SerialLineSettingsTest, InForceOnTheOpenedPort) {
    const LineCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(ApplyCodes(serial, c.codes));
    ASSERT_TRUE(OpenBox());
    const zq8test::TtySettings tty = zq8test::ReadTtySettings(box.SlaveFd());

    EXPECT_EQ(tty.outputBaud, c.baud);
    EXPECT_EQ(tty.inputBaud, c.baud);
    EXPECT_EQ(tty.cflag & PARODD, c.parity & PARODD);
    EXPECT_EQ((tty.cflag & CSTOPB) != 0, c.twoStopBits);
    EXPECT_EQ((tty.cflag & CRTSCTS) != 0, c.rtsCts);
    EXPECT_EQ((tty.iflag & IXON) != 0, c.xonXoff);
    EXPECT_EQ((tty.iflag & IXOFF) != 0, c.xonXoff);
    EXPECT_EQ(tty.oflag & OPOST, 0u);
    EXPECT_EQ(tty.lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tty.iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_NE(tty.cflag & CLOCAL, 0u);
}

INSTANTIATE_TEST_SUITE_P(Codes, SerialLineSettingsTest, testing::ValuesIn(LineCases()),
                         [](const testing::TestParamInfo<LineCase>& instance) {
                             return instance.param.label;
                         });

}  // namespace
