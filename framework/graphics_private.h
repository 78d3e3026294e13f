// Framework-internal: what a drawing context draws on.
#pragma once

#include <QImage>

#include <functional>

#include "framework/graphics.h"

namespace fw {

struct Graphics::Private {
    // The image drawn on, owned by the picture or control that made the context.
    QImage* target = nullptr;
    // Run after each drawing, so that a control can schedule its repaint.
    std::function<void()> drawn;
    Color foreColor{0, 0, 0};
};

// The pixel format of every picture and backing image: 32 bits with transparency.
inline constexpr QImage::Format kPictureFormat = QImage::Format_ARGB32_Premultiplied;

}  // namespace fw
