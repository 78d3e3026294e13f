#include "framework/picture.h"

#include "framework/graphics.h"
#include "framework/graphics_private.h"
#include "framework/picture_private.h"

namespace fw {

PixelColor ReadPixel(const QImage& image, std::int32_t x, std::int32_t y) {
    if (!image.valid(x, y)) {
        return {};
    }
    const QRgb pixel = image.pixel(x, y);  // unpremultiplied, whatever the format
    return {RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)), std::uint8_t(qAlpha(pixel))};
}

Picture::Picture(std::unique_ptr<Private> d) : d_(std::move(d)) {}

Picture::~Picture() = default;

const ClassInfo& Picture::Class() {
    static const ClassInfo info{"Picture", &Object::Class(), {}};
    return info;
}

std::int32_t Picture::Width() const {
    return d_->image.width();
}

std::int32_t Picture::Height() const {
    return d_->image.height();
}

fw::Graphics* Picture::Graphics() const {
    return d_->graphics.get();
}

PixelColor Picture::Pixel(std::int32_t x, std::int32_t y) const {
    return ReadPixel(d_->image, x, y);
}

std::shared_ptr<Picture> NewPicture(std::int32_t width, std::int32_t height, std::int32_t depth) {
    if (width < 1 || height < 1 || depth != 32) {
        return nullptr;
    }
    auto d = std::make_unique<Picture::Private>();
    d->image = QImage(width, height, kPictureFormat);
    if (d->image.isNull()) {
        return nullptr;  // too large to allocate
    }
    d->image.fill(Qt::transparent);
    auto graphics = std::make_unique<Graphics::Private>();
    graphics->target = &d->image;
    graphics->drawn = [] {};
    d->graphics = std::make_unique<fw::Graphics>(std::move(graphics));
    return std::make_shared<Picture>(std::move(d));
}

}  // namespace fw
