#include "framework/picture.h"

#include <QGuiApplication>

#include <cmath>
#include <limits>

#include "framework/graphics.h"
#include "framework/graphics_private.h"
#include "framework/picture_private.h"

namespace fw {

Surface Surface::Make(QSize size, double scale) {
    Surface surface{QImage(), size, scale};
    if (size.isEmpty()) {
        return surface;
    }
    const double width = std::ceil(size.width() * scale);
    const double height = std::ceil(size.height() * scale);
    if (width > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max()) {
        return surface;
    }
    surface.image = QImage(int(width), int(height), kPictureFormat);
    if (!surface.image.isNull()) {
        surface.image.setDevicePixelRatio(scale);
        surface.image.fill(Qt::transparent);
    }
    return surface;
}

double PictureScale() {
    return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

PixelColor ReadPixel(const Surface& surface, std::int32_t x, std::int32_t y) {
    if (x < 0 || y < 0 || x >= surface.size.width() || y >= surface.size.height()) {
        return {};
    }
    const QImage& image = surface.image;
    const auto deviceX = int(std::floor(x * surface.scale));
    const auto deviceY = int(std::floor(y * surface.scale));
    if (!image.valid(deviceX, deviceY)) {
        return {};
    }
    const QRgb pixel = image.pixel(deviceX, deviceY);  // unpremultiplied, whatever the format
    return {RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)), std::uint8_t(qAlpha(pixel))};
}

Picture::Picture(std::unique_ptr<Private> d) : d_(std::move(d)) {}

Picture::~Picture() = default;

const ClassInfo& Picture::Class() {
    static const ClassInfo info{"Picture", &Object::Class(), {}};
    return info;
}

std::int32_t Picture::Width() const {
    return d_->surface.size.width();
}

std::int32_t Picture::Height() const {
    return d_->surface.size.height();
}

fw::Graphics* Picture::Graphics() const {
    return d_->graphics.get();
}

PixelColor Picture::Pixel(std::int32_t x, std::int32_t y) const {
    return ReadPixel(d_->surface, x, y);
}

std::shared_ptr<Picture> NewPictureAtScale(std::int32_t width, std::int32_t height,
                                           std::int32_t depth, double scale) {
    if (width < 1 || height < 1 || depth != 32) {
        return nullptr;
    }
    auto d = std::make_unique<Picture::Private>();
    d->surface = Surface::Make(QSize(width, height), scale);
    if (d->surface.image.isNull()) {
        return nullptr;  // too large to allocate
    }
    auto graphics = std::make_unique<Graphics::Private>();
    graphics->target = &d->surface;
    graphics->drawn = [] {};
    d->graphics = std::make_unique<fw::Graphics>(std::move(graphics));
    return std::make_shared<Picture>(std::move(d));
}

std::shared_ptr<Picture> NewPicture(std::int32_t width, std::int32_t height, std::int32_t depth) {
    return NewPictureAtScale(width, height, depth, PictureScale());
}

}  // namespace fw
