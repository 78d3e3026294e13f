// Framework-internal: what a drawing context draws on.
#pragma once

#include <QImage>
#include <QSize>

#include <functional>

#include "framework/graphics.h"

namespace fw {

// The pixel format of every picture and backing image: 32 bits with transparency.
inline constexpr QImage::Format kPictureFormat = QImage::Format_ARGB32_Premultiplied;

// An area of a size in pixels, the unit controls and shapes are given in, held as an image of
// device pixels: at a scale of 2 each of its pixels is two by two device pixels, so that what is
// drawn on it is as sharp as the screen shows.
struct Surface {
    QImage image;  // null while the area is empty or too large to allocate
    QSize size;
    double scale = 1;

    // Every pixel transparent.
    static Surface Make(QSize size, double scale);
};

// The scale pictures are made at: the finest any screen shows.
double PictureScale();

struct Graphics::Private {
    // The surface drawn on, owned by the picture or control that made the context.
    Surface* target = nullptr;
    // Run after each drawing, so that a control can schedule its repaint.
    std::function<void()> drawn;
    Color foreColor{0, 0, 0};
};

}  // namespace fw
