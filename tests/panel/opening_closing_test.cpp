// The main window's Open as the user meets it: the colours it gives the colour keys.
#include <gtest/gtest.h>

#include <cstdint>

#include "controls/cbkey2.h"
#include "framework/picture.h"
#include "tests/support/panel_fixture.h"

namespace zq8test {
namespace {

class OpeningTest : public PanelTest {};

TEST_F(OpeningTest, ColoursTheColourKeysRedLimeYellowBlueFromLeftToRight) {
    StartPanel();
    struct {
        std::int32_t index;
        std::uint32_t colour;
    } const keys[] = {{103, 0xFF0000}, {104, 0x00FF00}, {105, 0xFFFF00}, {102, 0x0000FF}};
    std::int32_t left = -1;
    for (const auto& want : keys) {
        const cbkey2& key = window->colork(want.index);
        EXPECT_GT(key.Left(), left) << "key " << want.index << " stands right of the one before";
        left = key.Left();
        EXPECT_EQ(key.litcolor.Value(), want.colour) << "key " << want.index;
        // Drawn in it at once, not only at the next repaint.
        const fw::PixelColor body = key.Pixel(16, 10);
        EXPECT_EQ(body.color.Value(), want.colour) << "key " << want.index;
        EXPECT_EQ(body.alpha, 255) << "key " << want.index;
    }
}

}  // namespace
}  // namespace zq8test
