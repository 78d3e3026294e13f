// Pictures and their drawing: which pixels a shape covers, what stays transparent, and how a
// picture is copied onto another.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <memory>

#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "framework/picture.h"
#include "framework/picture_private.h"

namespace fw {
void PrintTo(const PixelColor& pixel, std::ostream* out) {
    *out << "RGB " << std::hex << pixel.color.Value() << " alpha " << std::dec << int(pixel.alpha);
}
}  // namespace fw

namespace {

const fw::PixelColor kTransparent{};
const fw::PixelColor kRed{fw::RGB(255, 0, 0), 255};
const fw::PixelColor kBlue{fw::RGB(0, 0, 255), 255};

std::shared_ptr<fw::Picture> Blank(std::int32_t width, std::int32_t height) {
    auto picture = fw::NewPicture(width, height, 32);
    EXPECT_NE(picture, nullptr);
    return picture;
}

TEST(NewPicture, StartsTransparentAndRefusesWhatItCannotMake) {
    auto picture = Blank(5, 3);
    EXPECT_EQ(picture->Width(), 5);
    EXPECT_EQ(picture->Height(), 3);
    EXPECT_EQ(picture->Depth(), 32);
    ASSERT_NE(picture->Graphics(), nullptr);
    EXPECT_EQ(picture->Graphics(), picture->Graphics());
    EXPECT_EQ(picture->Graphics()->ForeColor(), fw::RGB(0, 0, 0));
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 5; ++x) {
            EXPECT_EQ(picture->Pixel(x, y), kTransparent) << x << "," << y;
        }
    }
    EXPECT_EQ(picture->Pixel(-1, 0), kTransparent);
    EXPECT_EQ(picture->Pixel(5, 0), kTransparent);

    EXPECT_EQ(fw::NewPicture(0, 10, 32), nullptr);
    EXPECT_EQ(fw::NewPicture(10, 0, 32), nullptr);
    EXPECT_EQ(fw::NewPicture(-3, 10, 32), nullptr);
    EXPECT_EQ(fw::NewPicture(10, 10, 8), nullptr);
}

// A 20 by 10 shape at (2, 3) in a larger picture: it covers columns 2 to 21 and rows 3 to 12.
class RoundRectTest : public testing::Test {
protected:
    std::shared_ptr<fw::Picture> picture = Blank(30, 20);
    fw::Graphics& g = *picture->Graphics();
};

TEST_F(RoundRectTest, FillCoversExactlyItsWidthAndHeightWithRoundedCorners) {
    g.SetForeColor(fw::RGB(255, 0, 0));
    g.FillRoundRect(2, 3, 20, 10, 6, 6);
    // Edge midpoints, inside and just outside.
    EXPECT_EQ(picture->Pixel(2, 8), kRed);
    EXPECT_EQ(picture->Pixel(21, 8), kRed);
    EXPECT_EQ(picture->Pixel(12, 3), kRed);
    EXPECT_EQ(picture->Pixel(12, 12), kRed);
    EXPECT_EQ(picture->Pixel(1, 8), kTransparent);
    EXPECT_EQ(picture->Pixel(22, 8), kTransparent);
    EXPECT_EQ(picture->Pixel(12, 2), kTransparent);
    EXPECT_EQ(picture->Pixel(12, 13), kTransparent);
    // The corner pixels lie outside the arcs; a pixel in from each corner lies inside.
    for (auto [x, y] : {std::pair{2, 3}, {21, 3}, {2, 12}, {21, 12}}) {
        EXPECT_EQ(picture->Pixel(x, y), kTransparent) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{4, 5}, {19, 5}, {4, 10}, {19, 10}}) {
        EXPECT_EQ(picture->Pixel(x, y), kRed) << x << "," << y;
    }
}

TEST_F(RoundRectTest, OutlineLiesOnTheFilledShapesOuterPixelsAndLeavesTheInsideAlone) {
    g.SetForeColor(fw::RGB(0, 0, 255));
    g.DrawRoundRect(2, 3, 20, 10, 6, 6);
    EXPECT_EQ(picture->Pixel(2, 8), kBlue);
    EXPECT_EQ(picture->Pixel(21, 8), kBlue);
    EXPECT_EQ(picture->Pixel(12, 3), kBlue);
    EXPECT_EQ(picture->Pixel(12, 12), kBlue);
    EXPECT_EQ(picture->Pixel(3, 8), kTransparent);
    EXPECT_EQ(picture->Pixel(12, 8), kTransparent);
    EXPECT_EQ(picture->Pixel(22, 8), kTransparent);
    EXPECT_EQ(picture->Pixel(12, 13), kTransparent);
    EXPECT_EQ(picture->Pixel(2, 3), kTransparent);
}

TEST_F(RoundRectTest, ShapesWithoutAreaDrawNothing) {
    g.SetForeColor(fw::RGB(255, 0, 0));
    for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-4, 5}, {5, -4}}) {
        g.FillRoundRect(5, 5, w, h, 6, 6);
        g.DrawRoundRect(5, 5, w, h, 6, 6);
    }
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 30; ++x) {
            ASSERT_EQ(picture->Pixel(x, y), kTransparent) << x << "," << y;
        }
    }
}

TEST_F(RoundRectTest, ShapesPartlyOffThePictureDrawTheirVisiblePart) {
    g.SetForeColor(fw::RGB(255, 0, 0));
    g.FillRoundRect(25, 0, 10, 20, 6, 6);
    EXPECT_EQ(picture->Pixel(29, 10), kRed);
    EXPECT_EQ(picture->Pixel(24, 10), kTransparent);

    // Far larger than the picture, reaching both ends of the coordinate range.
    g.SetForeColor(fw::RGB(0, 0, 255));
    g.DrawRoundRect(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX, INT32_MAX, 6, 6);
    EXPECT_EQ(picture->Pixel(0, 0), kTransparent);
    g.FillRoundRect(INT32_MIN / 2, INT32_MIN / 2, INT32_MAX, INT32_MAX, 6, 6);
    EXPECT_EQ(picture->Pixel(0, 0), kBlue);
    EXPECT_EQ(picture->Pixel(29, 19), kBlue);
}

TEST(DrawPicture, SizesNotGivenCopyTheWholePictureAtItsOwnSizeAndKeepWhatShowsThrough) {
    auto source = Blank(4, 4);
    source->Graphics()->SetForeColor(fw::RGB(255, 0, 0));
    source->Graphics()->FillRoundRect(0, 0, 2, 4, 0, 0);  // left half red, right half clear

    auto target = Blank(10, 10);
    target->Graphics()->SetForeColor(fw::RGB(0, 0, 255));
    target->Graphics()->FillRoundRect(0, 0, 10, 10, 0, 0);
    target->Graphics()->DrawPicture(source.get(), 3, 3);

    EXPECT_EQ(target->Pixel(3, 3), kRed);
    EXPECT_EQ(target->Pixel(4, 6), kRed);
    EXPECT_EQ(target->Pixel(5, 4), kBlue);  // the source's clear half shows the blue below
    EXPECT_EQ(target->Pixel(2, 3), kBlue);
    EXPECT_EQ(target->Pixel(3, 7), kBlue);
}

TEST(DrawPicture, ASourceRectangleScaledToTheDestination) {
    auto source = Blank(4, 4);
    source->Graphics()->SetForeColor(fw::RGB(255, 0, 0));
    source->Graphics()->FillRoundRect(2, 2, 2, 2, 0, 0);  // bottom right quarter red

    auto target = Blank(10, 10);
    target->Graphics()->DrawPicture(source.get(), 1, 1, 8, 8, 2, 2, 2, 2);
    EXPECT_EQ(target->Pixel(1, 1), kRed);
    EXPECT_EQ(target->Pixel(8, 8), kRed);
    EXPECT_EQ(target->Pixel(0, 0), kTransparent);
    EXPECT_EQ(target->Pixel(9, 9), kTransparent);
}

TEST(DrawPicture, NoPictureRaisesNilObjectException) {
    auto target = Blank(4, 4);
    EXPECT_THROW(target->Graphics()->DrawPicture(nullptr, 0, 0), fw::NilObjectException);
}

// A colour key's drawing at a scale: its body, then its outline, as the drawn key makes them.
void DrawKey(fw::Graphics& g, std::int32_t width, std::int32_t height, std::int32_t arc) {
    g.SetForeColor(fw::RGB(255, 0, 0));
    g.FillRoundRect(0, 0, width, height, arc, arc);
    g.SetForeColor(fw::RGB(0, 0, 0));
    g.DrawRoundRect(0, 0, width, height, arc, arc);
}

struct ScaleCase {
    double scale;
    int deviceWidth, deviceHeight;  // of the 32 by 20 picture
    int shapeWidth, shapeHeight;    // of the 31 by 19 shape, in device pixels
};

void PrintTo(const ScaleCase& c, std::ostream* out) {
    *out << "scale " << c.scale;
}

class ScaledPicture : public testing::TestWithParam<ScaleCase> {
protected:
    static QRgb At(const fw::Picture& picture, int x, int y) {
        return picture.GetPrivate().surface.image.pixel(x, y);
    }
};

TEST_P(ScaledPicture, KeepsItsSizeInPixelsAndHoldsTheDevicePixelsOfIt) {
    const ScaleCase c = GetParam();
    auto picture = fw::NewPictureAtScale(32, 20, 32, c.scale);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 32);
    EXPECT_EQ(picture->Height(), 20);
    EXPECT_EQ(picture->Graphics()->Width(), 32);
    EXPECT_EQ(picture->Graphics()->Height(), 20);
    const QImage& image = picture->GetPrivate().surface.image;
    EXPECT_EQ(image.size(), QSize(c.deviceWidth, c.deviceHeight));
    EXPECT_EQ(image.devicePixelRatio(), c.scale);
}

TEST_P(ScaledPicture, DrawsTheKeyOnDevicePixelsWithAnOutlineOneDevicePixelWide) {
    const ScaleCase c = GetParam();
    auto picture = fw::NewPictureAtScale(32, 20, 32, c.scale);
    DrawKey(*picture->Graphics(), 31, 19, 6);
    const QRgb black = qRgb(0, 0, 0);
    const QRgb red = qRgb(255, 0, 0);
    const int midX = c.shapeWidth / 2;
    const int midY = c.shapeHeight / 2;
    const int right = c.shapeWidth - 1;
    const int bottom = c.shapeHeight - 1;
    // On each side: the outline's one device pixel, the body next to it, nothing beyond.
    EXPECT_EQ(At(*picture, 0, midY), black);
    EXPECT_EQ(At(*picture, 1, midY), red);
    EXPECT_EQ(At(*picture, right, midY), black);
    EXPECT_EQ(At(*picture, right - 1, midY), red);
    EXPECT_EQ(qAlpha(At(*picture, right + 1, midY)), 0);
    EXPECT_EQ(At(*picture, midX, 0), black);
    EXPECT_EQ(At(*picture, midX, 1), red);
    EXPECT_EQ(At(*picture, midX, bottom), black);
    EXPECT_EQ(At(*picture, midX, bottom - 1), red);
    EXPECT_EQ(qAlpha(At(*picture, midX, bottom + 1)), 0);
    // Read in pixels, a pixel is its top-left device pixel.
    EXPECT_EQ(picture->Pixel(0, 10), (fw::PixelColor{fw::RGB(0, 0, 0), 255}));
}

TEST_P(ScaledPicture, IsDevicePixelForDevicePixelTheKeyDrawnAtItsDeviceSize) {
    // Corners included: not the key drawn in pixels and enlarged, whose arcs would come in steps
    // of whole pixels, but the arcs of 6 pixels laid on the device pixels.
    const ScaleCase c = GetParam();
    auto scaled = fw::NewPictureAtScale(32, 20, 32, c.scale);
    DrawKey(*scaled->Graphics(), 31, 19, 6);
    auto reference = fw::NewPictureAtScale(c.deviceWidth, c.deviceHeight, 32, 1);
    DrawKey(*reference->Graphics(), c.shapeWidth, c.shapeHeight, int(6 * c.scale));
    EXPECT_EQ(scaled->GetPrivate().surface.image.convertToFormat(QImage::Format_ARGB32),
              reference->GetPrivate().surface.image.convertToFormat(QImage::Format_ARGB32));
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledPicture,
                         testing::Values(ScaleCase{2, 64, 40, 62, 38},
                                         ScaleCase{1.5, 48, 30, 47, 29}),
                         [](const testing::TestParamInfo<ScaleCase>& instance) {
                             return instance.param.scale == 2 ? "two" : "one_and_a_half";
                         });

TEST(DrawPicture, AtEqualScalesEachDevicePixelLandsOnOne) {
    auto source = fw::NewPictureAtScale(32, 20, 32, 2);
    DrawKey(*source->Graphics(), 31, 19, 6);
    auto target = fw::NewPictureAtScale(32, 20, 32, 2);
    target->Graphics()->DrawPicture(source.get(), 0, 0);
    EXPECT_EQ(target->GetPrivate().surface.image, source->GetPrivate().surface.image);
}

}  // namespace
