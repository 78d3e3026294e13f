// Framework-internal: the image behind a picture, and reading pixels of any image.
#pragma once

#include <QImage>

#include <memory>

#include "framework/graphics.h"
#include "framework/picture.h"

namespace fw {

struct Picture::Private {
    QImage image;
    std::unique_ptr<fw::Graphics> graphics;
};

// The pixel at (x, y) with its colour unpremultiplied; transparent black off the image.
PixelColor ReadPixel(const QImage& image, std::int32_t x, std::int32_t y);

}  // namespace fw
