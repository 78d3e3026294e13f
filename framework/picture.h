// Off-screen pictures: 32-bit images with transparency, drawn into through their Graphics. Their
// sizes are in pixels, as controls' are; they hold as many device pixels as the finest screen
// shows in that size, so that a picture drawn on a control is as sharp as the screen.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/object.h"

namespace fw {

class Graphics;

// One pixel as stored: its colour and its opacity, 0 (transparent) to 255 (opaque).
struct PixelColor {
    Color color;
    std::uint8_t alpha = 0;

    friend bool operator==(const PixelColor&, const PixelColor&) = default;
};

class Picture : public Object {
public:
    struct Private;
    // Made by NewPicture (framework use only).
    explicit Picture(std::unique_ptr<Private> d);
    ~Picture() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    std::int32_t Width() const;
    std::int32_t Height() const;
    std::int32_t Depth() const { return 32; }

    // The picture's own drawing context, alive as long as the picture.
    fw::Graphics* Graphics() const;

    // The pixel at (x, y), read from its top-left device pixel; transparent black off the
    // picture.
    PixelColor Pixel(std::int32_t x, std::int32_t y) const;

    const Private& GetPrivate() const { return *d_; }

private:
    std::unique_ptr<Private> d_;
};

// A new picture, every pixel transparent, so that whatever it is drawn onto shows through where
// nothing was drawn. Depth 32 is the one offered: any other depth, or a width or height below 1,
// gives no picture (nullptr).
std::shared_ptr<Picture> NewPicture(std::int32_t width, std::int32_t height, std::int32_t depth);

}  // namespace fw
