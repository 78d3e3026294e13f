#include "framework/pending_frames.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = fw::PendingFrames::Clock;

// One step on a line whose start limit is 1000 ms, at a time counted in ms from the first step.
struct Step {
    enum Kind { Add, Take, DropLate } kind;
    int atMs;
    std::string frame;        // Add: the frame
    std::size_t took = 0;     // Take: the bytes the line took of what is next
    std::size_t dropped = 0;  // DropLate: how many it must drop
};

struct QueueCase {
    std::string label;
    std::vector<Step> steps;
    // What is left once the steps are done: what is next to go, how many frames wait, and when
    // the first frame not begun must begin by (-1: none).
    std::string next;
    std::size_t count;
    int nextDeadlineMs;
};

void PrintTo(const QueueCase& c, std::ostream* out) {
    *out << c.label;
}

class PendingFramesTest : public testing::TestWithParam<QueueCase> {};

TEST_P(PendingFramesTest, DropsOnlyFramesNotBegunInTime) {
    const QueueCase& c = GetParam();
    const Clock::time_point start = Clock::now();
    const auto at = [&](int ms) { return start + std::chrono::milliseconds(ms); };
    fw::PendingFrames frames(1000ms);
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const Step& step = c.steps[i];
        switch (step.kind) {
            case Step::Add:
                frames.Add(step.frame, at(step.atMs));
                break;
            case Step::Take:
                frames.Took(step.took);
                break;
            case Step::DropLate:
                EXPECT_EQ(frames.DropLate(at(step.atMs)), step.dropped) << "step " << i;
                break;
        }
    }
    EXPECT_EQ(std::string(frames.Next()), c.next);
    EXPECT_EQ(frames.Count(), c.count);
    EXPECT_EQ(frames.Empty(), c.count == 0);
    const auto deadline = frames.NextDeadline();
    if (c.nextDeadlineMs < 0) {
        EXPECT_FALSE(deadline.has_value());
    } else {
        ASSERT_TRUE(deadline.has_value());
        EXPECT_EQ(*deadline, at(c.nextDeadlineMs));
    }
}

std::vector<QueueCase> QueueCases() {
    using S = Step;
    return {
        {"NothingWritten", {{S::DropLate, 5000, "", 0, 0}}, "", 0, -1},
        {"AnEmptyWriteIsNoFrame", {{S::Add, 0, ""}}, "", 0, -1},
        {"OnTimeFramesWaitInOrder",
         {{S::Add, 0, "abcde"}, {S::Add, 400, "fghij"}, {S::DropLate, 999, "", 0, 0}},
         "abcde",
         2,
         1000},
        {"AtItsDeadlineAFrameIsLate",
         {{S::Add, 0, "abcde"}, {S::Add, 400, "fghij"}, {S::DropLate, 1000, "", 0, 1}},
         "fghij",
         1,
         1400},
        {"EveryLateFrameGoesAtOnce",
         {{S::Add, 0, "a1"},
          {S::Add, 10, "a2"},
          {S::Add, 20, "a3"},
          {S::Add, 2000, "b1"},
          {S::DropLate, 2500, "", 0, 3}},
         "b1",
         1,
         3000},
        {"AFrameBegunIsNeverDropped",
         {{S::Add, 0, "abcde"}, {S::Take, 0, "", 2}, {S::DropLate, 60000, "", 0, 0}},
         "cde",
         1,
         -1},
        {"BehindAFrameBegunTheLateOnesGo",
         {{S::Add, 0, "abcde"},
          {S::Add, 100, "fghij"},
          {S::Add, 900, "klmno"},
          {S::Take, 0, "", 4},
          {S::DropLate, 1500, "", 0, 1}},
         "e",
         2,
         1900},
        {"AFrameTakenWholeLeavesTheNext",
         {{S::Add, 0, "abcde"},
          {S::Add, 100, "fghij"},
          {S::Take, 0, "", 3},
          {S::Take, 0, "", 2},
          {S::DropLate, 1050, "", 0, 0}},
         "fghij",
         1,
         1100},
        {"TheLastFrameTakenEmptiesTheQueue",
         {{S::Add, 0, "abcde"}, {S::Take, 0, "", 5}, {S::DropLate, 5000, "", 0, 0}},
         "",
         0,
         -1},
    };
}

INSTANTIATE_TEST_SUITE_P(Steps, PendingFramesTest, testing::ValuesIn(QueueCases()),
                         [](const testing::TestParamInfo<QueueCase>& instance) {
                             return instance.param.label;
                         });

TEST(PendingFramesClearTest, CountsEveryFrameTheBegunOneIncluded) {
    const Clock::time_point now = Clock::now();
    fw::PendingFrames frames(1000ms);
    for (const char* frame : {"abcde", "fghij", "klmno"}) {
        frames.Add(frame, now);
    }
    frames.Took(1);
    EXPECT_EQ(frames.Clear(), 3u);
    EXPECT_TRUE(frames.Empty());
    frames.Add("pqrst", now);
    // The next frame starts from its first byte, not where the cleared one was left.
    EXPECT_EQ(std::string(frames.Next()), "pqrst");
}

}  // namespace
