// The frames written to a serial line that the line has not taken whole yet.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// Each frame waits at most the start limit for the line to take its first byte: a press the box
// gets seconds late (a burst of stale volume-ups once a stalled line moves) is worse than one it
// never gets. A frame the line has begun to take is never dropped, since a frame cut short would
// run into the next one at the box. Only the first frame can have begun.
class PendingFrames {
public:
    using Clock = std::chrono::steady_clock;

    explicit PendingFrames(Clock::duration startLimit) : startLimit_(startLimit) {}

    void Add(std::string_view frame, Clock::time_point now);
    // Drops every frame not begun whose time to begin has come; gives how many.
    std::size_t DropLate(Clock::time_point now);
    // Drops every frame, the one begun included; gives how many.
    std::size_t Clear();

    bool Empty() const { return frames_.empty(); }
    std::size_t Count() const { return frames_.size(); }
    // What is still to go of the first frame: all of it, or the rest of the one begun.
    std::string_view Next() const;
    // The line took that many bytes of Next().
    void Took(std::size_t bytes);
    // The time by which the first frame not begun must begin; none when there is no such frame.
    std::optional<Clock::time_point> NextDeadline() const;

private:
    struct Frame {
        std::string bytes;
        Clock::time_point startBy;
    };

    bool FirstBegun() const { return !frames_.empty() && sentOfFirst_ > 0; }

    Clock::duration startLimit_;
    std::deque<Frame> frames_;
    std::size_t sentOfFirst_ = 0;
};

}  // namespace fw
