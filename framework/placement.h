// Framework-internal: where a window's frame stands, worked out over rectangles alone: centred
// over another window, and moved wholly onto a screen.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

namespace fw {

// The top-left corner of a frame of that size centred over another frame.
QPoint CentredOver(const QRect& over, const QSize& frame);

// Where a frame stands once moved the least distance that puts it wholly on one of the screens'
// areas: where it is when it stands wholly on one already, else on the nearest one, the first
// of equally near ones. A frame larger than the screen keeps to its top-left corner. With no
// screens it stays.
QPoint OnNearestScreen(const QRect& frame, const std::vector<QRect>& screens);

// The margins of a frame around the window it frames.
QMargins MarginsBetween(const QRect& outer, const QRect& inner);

}  // namespace fw
