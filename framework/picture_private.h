// Framework-internal: the surface behind a picture, and reading pixels of any surface.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics.h"
#include "framework/graphics_private.h"
#include "framework/picture.h"

namespace fw {

struct Picture::Private {
    Surface surface;
    std::unique_ptr<fw::Graphics> graphics;
};

// NewPicture at a given scale of device pixels to pixels.
std::shared_ptr<Picture> NewPictureAtScale(std::int32_t width, std::int32_t height,
                                           std::int32_t depth, double scale);

// The pixel at (x, y) with its colour unpremultiplied, read from the top-left device pixel of
// that pixel; transparent black off the surface.
PixelColor ReadPixel(const Surface& surface, std::int32_t x, std::int32_t y);

}  // namespace fw
