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

// A run of pixels of one row, first to last; empty when last < first.
struct Span {
    std::int64_t first = 0;
    std::int64_t last = -1;
    bool Empty() const { return last < first; }
};

// The device pixels of a rounded rectangle: those whose centres lie inside it. Drawn row by row
// from this one rule, fill and outline match pixel for pixel and are symmetric, which a curve
// renderer's rounding does not promise for shapes a few pixels across.
class RoundRectShape {
public:
    // A shape given in pixels, laid on the device pixels of a surface of that scale: its edges
    // fall on the nearest device pixel edges, its arcs keep their size.
    RoundRectShape(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::int32_t arcWidth, std::int32_t arcHeight, double scale)
        : x_(ToDevice(x, scale)),
          y_(ToDevice(y, scale)),
          width_(ToDevice(std::int64_t(x) + width, scale) - x_),
          height_(ToDevice(std::int64_t(y) + height, scale) - y_),
          rx_(std::clamp(arcWidth * scale / 2, 0.0, static_cast<double>(width_) / 2.0)),
          ry_(std::clamp(arcHeight * scale / 2, 0.0, static_cast<double>(height_) / 2.0)) {}

    std::int64_t Top() const { return y_; }
    std::int64_t Bottom() const { return y_ + height_ - 1; }

    Span Row(std::int64_t row) const {
        if (row < Top() || row > Bottom()) {
            return {};
        }
        const double centre = double(row - y_) + 0.5;
        // The distance of the row into a corner's arc, from the arc's centre line.
        const double intoArc =
            std::max({ry_ - centre, centre - (static_cast<double>(height_) - ry_), 0.0});
        double inset = 0;
        if (intoArc > 0) {
            const double t = intoArc / ry_;
            inset = rx_ - rx_ * std::sqrt(std::max(0.0, 1 - t * t));
        }
        const auto reach = std::int64_t(std::ceil(inset - 0.5 - 1e-9));
        return {x_ + reach, x_ + width_ - 1 - reach};
    }

private:
    static std::int64_t ToDevice(std::int64_t coordinate, double scale) {
        return std::llround(double(coordinate) * scale);
    }

    std::int64_t x_;
    std::int64_t y_;
    std::int64_t width_;
    std::int64_t height_;
    double rx_;
    double ry_;
};

// The rows of the shape that lie on the image.
std::pair<std::int64_t, std::int64_t> VisibleRows(const RoundRectShape& shape,
                                                  const QImage& image) {
    return {std::max<std::int64_t>(shape.Top(), 0),
            std::min<std::int64_t>(shape.Bottom(), image.height() - 1)};
}

// Plain device pixels, no blending: a key is a few pixels of one colour, and blended edge pixels
// would give its corners a halo of a third colour.
void FillSpan(QImage& image, std::int64_t row, Span span, QRgb pixel) {
    span.first = std::max<std::int64_t>(span.first, 0);
    span.last = std::min<std::int64_t>(span.last, image.width() - 1);
    if (!span.Empty()) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(int(row)));
        std::fill(line + span.first, line + span.last + 1, pixel);
    }
}

QRgb OpaquePixel(Color colour) {
    return qRgb(colour.red, colour.green, colour.blue);  // opaque: premultiplied as it stands
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
    return d_->target->size.width();
}

std::int32_t Graphics::Height() const {
    return d_->target->size.height();
}

void Graphics::FillRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t arcWidth, std::int32_t arcHeight) {
    QImage& image = d_->target->image;
    if (width < 1 || height < 1 || image.isNull()) {
        return;
    }
    const RoundRectShape shape(x, y, width, height, arcWidth, arcHeight, d_->target->scale);
    const QRgb pixel = OpaquePixel(d_->foreColor);
    const auto [first, last] = VisibleRows(shape, image);
    for (std::int64_t row = first; row <= last; ++row) {
        FillSpan(image, row, shape.Row(row), pixel);
    }
    d_->drawn();
}

void Graphics::DrawRoundRect(std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, std::int32_t arcWidth, std::int32_t arcHeight) {
    QImage& image = d_->target->image;
    if (width < 1 || height < 1 || image.isNull()) {
        return;
    }
    // The filled shape's device pixels that touch one outside it, above, below or beside: one
    // device pixel wide at every scale.
    const RoundRectShape shape(x, y, width, height, arcWidth, arcHeight, d_->target->scale);
    const QRgb pixel = OpaquePixel(d_->foreColor);
    const auto [first, last] = VisibleRows(shape, image);
    for (std::int64_t row = first; row <= last; ++row) {
        const Span span = shape.Row(row);
        const Span above = shape.Row(row - 1);
        const Span below = shape.Row(row + 1);
        const Span inside{std::max({span.first + 1, above.first, below.first}),
                          std::min({span.last - 1, above.last, below.last})};
        if (inside.Empty() || above.Empty() || below.Empty()) {
            FillSpan(image, row, span, pixel);
            continue;
        }
        FillSpan(image, row, {span.first, inside.first - 1}, pixel);
        FillSpan(image, row, {inside.last + 1, span.last}, pixel);
    }
    d_->drawn();
}

void Graphics::DrawPicture(const Picture* picture, std::int32_t x, std::int32_t y,
                           std::int32_t destWidth, std::int32_t destHeight, std::int32_t sourceX,
                           std::int32_t sourceY, std::int32_t sourceWidth,
                           std::int32_t sourceHeight) {
    const Surface& from = Require(picture, "picture").GetPrivate().surface;
    const QImage& source = from.image;
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
        d_->target->image.isNull()) {
        return;
    }
    {
        // The painter works in pixels on the target; the source rectangle is in the picture's
        // device pixels. At equal scales each device pixel lands on one.
        const double s = from.scale;
        QPainter painter(&d_->target->image);
        painter.drawImage(QRectF(x, y, destWidth, destHeight), source,
                          QRectF(sourceX * s, sourceY * s, sourceWidth * s, sourceHeight * s));
    }
    d_->drawn();
}

}  // namespace fw
