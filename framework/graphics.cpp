#include "framework/graphics.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

#include "framework/exceptions.h"
#include "framework/graphics_private.h"
#include "framework/picture.h"
#include "framework/picture_private.h"

namespace fw {

namespace {

QColor ToQColor(Color colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// A run of pixels of one row, first to last; empty when last < first.
struct Span {
    std::int64_t first = 0;
    std::int64_t last = -1;
    bool Empty() const { return last < first; }
};

// The pixels of a rounded rectangle: those whose centres lie inside it. Drawn row by row from
// this one rule, fill and outline match pixel for pixel and are symmetric, which a curve
// renderer's rounding does not promise for shapes a few pixels across.
class RoundRectShape {
public:
    RoundRectShape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::int32_t arcWidth, std::int32_t arcHeight)
        : x_(x),
          y_(y),
          width_(width),
          height_(height),
          rx_(std::clamp(arcWidth / 2.0, 0.0, width / 2.0)),
          ry_(std::clamp(arcHeight / 2.0, 0.0, height / 2.0)) {}

    std::int64_t Top() const { return y_; }
    std::int64_t Bottom() const { return std::int64_t(y_) + height_ - 1; }

    Span Row(std::int64_t row) const {
        if (row < Top() || row > Bottom()) {
            return {};
        }
        const double centre = double(row - y_) + 0.5;
        // The distance of the row into a corner's arc, from the arc's centre line.
        const double intoArc = std::max({ry_ - centre, centre - (height_ - ry_), 0.0});
        double inset = 0;
        if (intoArc > 0) {
            const double t = intoArc / ry_;
            inset = rx_ - rx_ * std::sqrt(std::max(0.0, 1 - t * t));
        }
        const auto reach = std::int64_t(std::ceil(inset - 0.5 - 1e-9));
        return {std::int64_t(x_) + reach, std::int64_t(x_) + width_ - 1 - reach};
    }

private:
    std::int32_t x_;
    std::int32_t y_;
    std::int32_t width_;
    std::int32_t height_;
    double rx_;
    double ry_;
};

// The rows of the shape that lie on the image.
std::pair<std::int64_t, std::int64_t> VisibleRows(const RoundRectShape& shape,
                                                  const QImage& image) {
    return {std::max<std::int64_t>(shape.Top(), 0),
            std::min<std::int64_t>(shape.Bottom(), image.height() - 1)};
}

void FillSpan(QPainter& painter, const QImage& image, std::int64_t row, Span span) {
    span.first = std::max<std::int64_t>(span.first, 0);
    span.last = std::min<std::int64_t>(span.last, image.width() - 1);
    if (!span.Empty()) {
        painter.fillRect(QRect(int(span.first), int(row), int(span.last - span.first + 1), 1),
                         painter.brush());
    }
}

}  // namespace

Graphics::Graphics(std::unique_ptr<Private> d) : d_(std::move(d)) {}

Graphics::~Graphics() = default;

const ClassInfo& Graphics::Class() {
    static const ClassInfo info{"Graphics", &Object::Class(), {}};
    return info;
}

Color Graphics::ForeColor() const {
    return d_->foreColor;
}

void Graphics::SetForeColor(Color colour) {
    d_->foreColor = colour;
}

std::int32_t Graphics::Width() const {
    return d_->target->width();
}

std::int32_t Graphics::Height() const {
    return d_->target->height();
}

void Graphics::FillRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t arcWidth, std::int32_t arcHeight) {
    if (width < 1 || height < 1 || d_->target->isNull()) {
        return;
    }
    {
        // Plain pixels, no blending: a key is a few pixels of one colour, and blended edge pixels
        // would give its corners a halo of a third colour.
        const RoundRectShape shape(x, y, width, height, arcWidth, arcHeight);
        QPainter painter(d_->target);
        painter.setBrush(ToQColor(d_->foreColor));
        const auto [first, last] = VisibleRows(shape, *d_->target);
        for (std::int64_t row = first; row <= last; ++row) {
            FillSpan(painter, *d_->target, row, shape.Row(row));
        }
    }
    d_->drawn();
}

void Graphics::DrawRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t arcWidth, std::int32_t arcHeight) {
    if (width < 1 || height < 1 || d_->target->isNull()) {
        return;
    }
    {
        // The filled shape's pixels that touch a pixel outside it, above, below or beside.
        const RoundRectShape shape(x, y, width, height, arcWidth, arcHeight);
        QPainter painter(d_->target);
        painter.setBrush(ToQColor(d_->foreColor));
        const auto [first, last] = VisibleRows(shape, *d_->target);
        for (std::int64_t row = first; row <= last; ++row) {
            const Span span = shape.Row(row);
            const Span above = shape.Row(row - 1);
            const Span below = shape.Row(row + 1);
            const Span inside{std::max({span.first + 1, above.first, below.first}),
                              std::min({span.last - 1, above.last, below.last})};
            if (inside.Empty() || above.Empty() || below.Empty()) {
                FillSpan(painter, *d_->target, row, span);
                continue;
            }
            FillSpan(painter, *d_->target, row, {span.first, inside.first - 1});
            FillSpan(painter, *d_->target, row, {inside.last + 1, span.last});
        }
    }
    d_->drawn();
}

void Graphics::DrawPicture(const Picture* picture, std::int32_t x, std::int32_t y,
                           std::int32_t destWidth, std::int32_t destHeight, std::int32_t sourceX,
                           std::int32_t sourceY, std::int32_t sourceWidth,
                           std::int32_t sourceHeight) {
    const QImage& source = Require(picture, "picture").GetPrivate().image;
    if (sourceWidth == kSizeNotGiven) {
        sourceWidth = source.width() - sourceX;
    }
    if (sourceHeight == kSizeNotGiven) {
        sourceHeight = source.height() - sourceY;
    }
    if (destWidth == kSizeNotGiven) {
        destWidth = sourceWidth;
    }
    if (destHeight == kSizeNotGiven) {
        destHeight = sourceHeight;
    }
    if (sourceWidth < 1 || sourceHeight < 1 || destWidth < 1 || destHeight < 1 ||
        d_->target->isNull()) {
        return;
    }
    {
        QPainter painter(d_->target);
        painter.drawImage(QRect(x, y, destWidth, destHeight), source,
                          QRect(sourceX, sourceY, sourceWidth, sourceHeight));
    }
    d_->drawn();
}

}  // namespace fw
