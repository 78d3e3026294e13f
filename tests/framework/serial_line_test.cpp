#include "framework/serial_line.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <poll.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/serial_line_settings.h"
#include "tests/support/frames.h"
#include "tests/support/pseudo_terminal.h"

namespace {

using namespace std::chrono_literals;
using zq8test::Joined;
using zq8test::NumberedFrames;

// A bound for a hang, not a pace.
constexpr auto kBound = 20s;
// Twice what a pseudo-terminal takes in before its writer must wait (some 20 KiB), so that a
// stopped reader leaves frames waiting in the line's own queue.
constexpr std::size_t kMoreThanThePtyHolds = 8000;

// Runs the event loop until the condition holds, within the bound.
void ProcessEventsUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

// Waits, within the bound, until the device has room again.
bool HasRoom(int fd) {
    pollfd room{fd, POLLOUT, 0};
    return ::poll(&room, 1, int(std::chrono::milliseconds(kBound).count())) == 1 &&
           (room.revents & POLLOUT) != 0;
}

// The box reads again: everything the line holds, up to and with the marker, which the line is
// given once the box has made room, so that it goes out at once.
std::string ReadAgainUpTo(zq8test::PseudoTerminal& box, fw::SerialLine& line,
                          const std::string& marker) {
    std::string arrived;
    std::thread reader([&] {
        const auto deadline = std::chrono::steady_clock::now() + kBound;
        while (!arrived.ends_with(marker) && std::chrono::steady_clock::now() < deadline) {
            arrived += box.ReadExactly(4096, 100ms);
        }
    });
    if (HasRoom(box.SlaveFd())) {
        line.Write(marker);
    }
    reader.join();
    return arrived;
}

// What the box got before the marker, when that is whole frames from the first of those written:
// their number; otherwise -1.
long WholeFramesBefore(const std::string& arrived, const std::string& marker,
                       const std::vector<std::string>& written) {
    if (!arrived.ends_with(marker)) {
        return -1;
    }
    const std::string before = arrived.substr(0, arrived.size() - marker.size());
    const std::size_t count = before.size() / 5;
    if (before.size() % 5 != 0 || count > written.size() ||
        before != Joined({written.begin(), written.begin() + long(count)})) {
        return -1;
    }
    return long(count);
}

class StalledLineTest : public testing::Test {
protected:
    StalledLineTest() {
        std::string reason;
        opened = line.Open(box.SlavePath(), fw::DecodeLineSettings({12, 3, 1, 0}), reason);
    }

    // Writes the frames to a box that reads nothing, and waits until each the line could not
    // take in time has been dropped.
    void WriteUntilDropped(const std::vector<std::string>& frames) {
        for (const std::string& frame : frames) {
            line.Write(frame);
        }
        ASSERT_GT(line.FramesWaiting(), 0u) << "the pseudo-terminal took every frame";
        ProcessEventsUntil([&] { return line.FramesWaiting() == 0; });
        ASSERT_EQ(line.FramesWaiting(), 0u) << "frames wait on beyond their time";
    }

    zq8test::PseudoTerminal box;
    int losses = 0;
    fw::SerialLine line{[this](const std::string&, const std::string&) { ++losses; }};
    bool opened = false;
};

TEST_F(StalledLineTest, FramesNotBegunInTimeAreDroppedNeverSentLateAndEachStallIsToldOnce) {
    ASSERT_TRUE(opened);
    const std::string stall =
        "zq8: " + box.SlavePath() + " stalled: frames not sent within 1 s are dropped\n";
    const std::string marker = zq8test::Bytes({0x03, 0xB1, 0x01, 0x05, 0x00, 0xBA});
    testing::internal::CaptureStderr();

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("stall " + std::to_string(round));
        const std::vector<std::string> frames = NumberedFrames(kMoreThanThePtyHolds);
        WriteUntilDropped(frames);
        // Once the box reads again, a frame written then goes out right behind what the line had
        // taken before it stalled, and not one of the frames dropped goes at all.
        const std::string arrived = ReadAgainUpTo(box, line, marker);
        const long taken = WholeFramesBefore(arrived, marker, frames);
        EXPECT_GT(taken, 0) << arrived.size() << " bytes arrived";
        EXPECT_LT(taken, long(frames.size()));
        EXPECT_EQ(box.ReadExactly(1, 200ms), "") << "a dropped frame was sent late";
    }

    line.Close(1s);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), stall + stall);
    EXPECT_EQ(losses, 0);
}

}  // namespace
