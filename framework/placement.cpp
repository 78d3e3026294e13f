#include "framework/placement.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace fw {

namespace {

// Where a frame lands when moved the least distance that puts it wholly inside an area.
QPoint FittedInto(const QRect& frame, const QRect& area) {
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return {x, y};
}

}  // namespace

QPoint CentredOver(const QRect& over, const QSize& frame) {
    return over.center() - QPoint(frame.width() / 2, frame.height() / 2);
}

QPoint OnNearestScreen(const QRect& frame, const std::vector<QRect>& screens) {
    std::optional<QPoint> nearest;
    std::int64_t nearestDistance = 0;
    for (const QRect& screen : screens) {
        const QPoint fitted = FittedInto(frame, screen);
        const QPoint step = fitted - frame.topLeft();
        const std::int64_t distance =
            std::int64_t(step.x()) * step.x() + std::int64_t(step.y()) * step.y();
        if (distance == 0) {
            return frame.topLeft();
        }
        if (!nearest || distance < nearestDistance) {
            nearest = fitted;
            nearestDistance = distance;
        }
    }
    return nearest.value_or(frame.topLeft());
}

QMargins MarginsBetween(const QRect& outer, const QRect& inner) {
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace fw
