#include "framework/pending_frames.h"

#include <algorithm>

namespace fw {

void PendingFrames::Add(std::string_view frame, Clock::time_point now) {
    if (!frame.empty()) {
        frames_.push_back({std::string(frame), now + startLimit_});
    }
}

std::size_t PendingFrames::DropLate(Clock::time_point now) {
    // Frames wait in the order written, so the late ones not begun lie together at the front.
    const auto waiting = frames_.begin() + (FirstBegun() ? 1 : 0);
    const auto onTime = std::find_if(waiting, frames_.end(),
                                     [now](const Frame& frame) { return frame.startBy > now; });
    const auto dropped = std::size_t(onTime - waiting);
    frames_.erase(waiting, onTime);
    return dropped;
}

std::size_t PendingFrames::Clear() {
    const std::size_t dropped = frames_.size();
    frames_.clear();
    sentOfFirst_ = 0;
    return dropped;
}

std::string_view PendingFrames::Next() const {
    if (frames_.empty()) {
        return {};
    }
    return std::string_view(frames_.front().bytes).substr(sentOfFirst_);
}

void PendingFrames::Took(std::size_t bytes) {
    if (frames_.empty()) {
        return;
    }
    sentOfFirst_ += bytes;
    if (sentOfFirst_ >= frames_.front().bytes.size()) {
        frames_.pop_front();
        sentOfFirst_ = 0;
    }
}

std::optional<PendingFrames::Clock::time_point> PendingFrames::NextDeadline() const {
    const std::size_t first = FirstBegun() ? 1 : 0;
    if (first >= frames_.size()) {
        return std::nullopt;
    }
    return frames_[first].startBy;
}

}  // namespace fw
