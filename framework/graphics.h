// Drawing contexts: the pen of a picture or of a drawn control, with the few shapes the panel
// draws. A shape w wide covers the w pixels from x on, so a shape Width - 1 wide leaves the last
// column untouched. Where a pixel is several device pixels (a screen scaled by 2 or 1.5), shapes
// are drawn on the device pixels: edges and corners as fine as the screen, outlines one device
// pixel wide.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/object.h"

namespace fw {

class Picture;

// The size argument of DrawPicture that was not given.
inline constexpr std::int32_t kSizeNotGiven = -10000;

class Graphics : public Object {
public:
    struct Private;
    // Made by the picture or control it draws on (framework use only).
    explicit Graphics(std::unique_ptr<Private> d);
    ~Graphics() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // The colour of every shape drawn from now on; black to begin with.
    Color ForeColor() const;
    void SetForeColor(Color colour);

    // The size of what is drawn on, in pixels.
    std::int32_t Width() const;
    std::int32_t Height() const;

    // A rounded rectangle whose corners are quarters of an arcWidth by arcHeight ellipse;
    // nothing for a width or height below 1.
    void FillRoundRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       std::int32_t arcWidth, std::int32_t arcHeight);
    // Its outline, one device pixel wide, inside the same pixels as FillRoundRect covers.
    void DrawRoundRect(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                       std::int32_t arcWidth, std::int32_t arcHeight);
    // Copies the source rectangle of a picture, scaled to the destination rectangle at (x, y),
    // blending by the picture's transparency. A source size not given runs to the picture's
    // edge; a destination size not given is the source's. NilObjectException for no picture.
    void DrawPicture(const Picture* picture, std::int32_t x, std::int32_t y,
                     std::int32_t destWidth = kSizeNotGiven,
                     std::int32_t destHeight = kSizeNotGiven, std::int32_t sourceX = 0,
                     std::int32_t sourceY = 0, std::int32_t sourceWidth = kSizeNotGiven,
                     std::int32_t sourceHeight = kSizeNotGiven);

private:
    std::unique_ptr<Private> d_;
};

}  // namespace fw
