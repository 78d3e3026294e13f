// The drawn key, read back from the pixels it shows: body, outline, cursor cell, corners; the
// text size rule; which calls draw; and its mouse press.
#include <gtest/gtest.h>

#include <QWidget>

#include <cstdint>
#include <string>

#include "controls/cbkey2.h"
#include "framework/exceptions.h"
#include "framework/property_list.h"
#include "framework/property_list_builder.h"

namespace fw {
void PrintTo(const PixelColor& pixel, std::ostream* out) {
    *out << "RGB " << std::hex << pixel.color.Value() << " alpha " << std::dec << int(pixel.alpha);
}
void PrintTo(const Color& colour, std::ostream* out) {
    *out << "RGB " << std::hex << colour.Value();
}
}  // namespace fw

namespace {

fw::PixelColor Opaque(std::uint32_t rrggbb) {
    return {fw::Color::FromValue(rrggbb), 255};
}

const fw::PixelColor kBlack = Opaque(0x000000);
const fw::PixelColor kTransparent{};
constexpr std::uint32_t kLit = 0x00FF40;
constexpr std::uint32_t kOff = 0xD0D0D0;

// Counts its draws, so that a call that must not draw can be seen not to.
class CountingKey : public cbkey2 {
public:
    void redraw() override {
        ++draws;
        cbkey2::redraw();
    }
    int draws = 0;
};

CountingKey& Sized(CountingKey& key, std::int32_t width, std::int32_t height) {
    key.SetWidth(width);
    key.SetHeight(height);
    return key;
}

TEST(cbkey2, StartsWithItsDeclaredValues) {
    cbkey2 key;
    EXPECT_EQ(key.litcolor, fw::Color::FromValue(kLit));
    EXPECT_EQ(key.offcolor, fw::Color::FromValue(kOff));
    EXPECT_TRUE(key.lit);
    EXPECT_EQ(key.Textfont, "tahoma");
    EXPECT_EQ(key.TextLitcolor, fw::Color::FromValue(0));
    EXPECT_EQ(key.TextOffColor, fw::Color::FromValue(0));
    EXPECT_EQ(key.textsize, 12);
    EXPECT_TRUE(key.Bold);
    EXPECT_FALSE(key.underline);
    EXPECT_FALSE(key.Italic);
    EXPECT_EQ(key.deltay, -5);
    EXPECT_FALSE(key.highlight);
    EXPECT_EQ(key.kursor, 0);
    EXPECT_EQ(key.Tag, 0);
    EXPECT_FALSE(key.tagset) << "a new key has no code: its 0 is not one";
}

TEST(cbkey2, AListSetsEveryPropertyByNameAndType) {
    cbkey2 key;
    fw::SetProperties(&key, fw::PropertyListBuilder()
                                .Colour("litcolor", fw::RGB(0x80, 0xFF, 0x80))
                                .Colour("offcolor", fw::RGB(1, 2, 3))
                                .Boolean("lit", false)
                                .Text("Textfont", "System")
                                .Colour("TextLitcolor", fw::RGB(4, 5, 6))
                                .Colour("TextOffColor", fw::RGB(7, 8, 9))
                                .Integer("textsize", 14)
                                .Boolean("Bold", false)
                                .Boolean("underline", true)
                                .Boolean("Italic", true)
                                .Integer("deltay", -7)
                                .Boolean("highlight", true)
                                .Integer("kursor", 3)
                                .Integer("Tag", 109)
                                .Boolean("UseFocusRing", true)
                                .Boolean("AcceptFocus", false)
                                .Build());
    EXPECT_EQ(key.litcolor, fw::RGB(0x80, 0xFF, 0x80));
    EXPECT_EQ(key.offcolor, fw::RGB(1, 2, 3));
    EXPECT_FALSE(key.lit);
    EXPECT_EQ(key.Textfont, "System");
    EXPECT_EQ(key.TextLitcolor, fw::RGB(4, 5, 6));
    EXPECT_EQ(key.TextOffColor, fw::RGB(7, 8, 9));
    EXPECT_EQ(key.textsize, 14);
    EXPECT_FALSE(key.Bold);
    EXPECT_TRUE(key.underline);
    EXPECT_TRUE(key.Italic);
    EXPECT_EQ(key.deltay, -7);
    EXPECT_TRUE(key.highlight);
    EXPECT_EQ(key.kursor, 3);
    EXPECT_EQ(key.Tag, 109);
}

TEST(cbkey2, DrawsABodyInsideABlackOutlineAndLeavesCornersLastColumnAndRowClear) {
    CountingKey key;
    Sized(key, 32, 20).redraw();
    EXPECT_EQ(key.Pixel(16, 10), Opaque(kLit));
    EXPECT_EQ(key.Pixel(1, 1), Opaque(kLit));
    // The outline on the midpoints of the four edges of the 31 by 19 shape.
    EXPECT_EQ(key.Pixel(16, 0), kBlack);
    EXPECT_EQ(key.Pixel(16, 18), kBlack);
    EXPECT_EQ(key.Pixel(0, 10), kBlack);
    EXPECT_EQ(key.Pixel(30, 10), kBlack);
    // The window shows through outside the rounded corners and in the last column and row.
    for (auto [x, y] : {std::pair{0, 0}, {30, 0}, {0, 18}, {30, 18}, {31, 10}, {16, 19}}) {
        EXPECT_EQ(key.Pixel(x, y), kTransparent) << x << "," << y;
    }
}

TEST(cbkey2, NotLitDrawsTheBodyInOffcolorAndTheCellInLitcolor) {
    CountingKey key;
    Sized(key, 100, 20);
    key.textsize = 15;
    key.highlight = true;
    key.setlit(false);
    EXPECT_EQ(key.draws, 1);
    EXPECT_EQ(key.Pixel(50, 10), Opaque(kOff));
    EXPECT_EQ(key.Pixel(10, 10), Opaque(kLit));  // the cell at 8, 8 wide
}

struct CellCase {
    std::int32_t width;
    std::int32_t textsize;
    std::int32_t kursor;
    std::int32_t x;  // where the cell starts
    std::int32_t cell;
};

void PrintTo(const CellCase& c, std::ostream* out) {
    *out << c.width << " wide, textsize " << c.textsize << ", kursor " << c.kursor;
}

class CursorCell : public testing::TestWithParam<CellCase> {};

TEST_P(CursorCell, LiesWhereTheKursorPutsIt) {
    const CellCase c = GetParam();
    CountingKey key;
    Sized(key, c.width, 20);
    key.textsize = c.textsize;
    key.kursor = c.kursor;
    key.highlight = true;
    key.redraw();
    const std::int32_t row = 10;
    // The cell's first and last column, where they fall inside the outline.
    for (std::int32_t x : {c.x, c.x + c.cell - 1}) {
        if (x > 0 && x < c.width - 2) {
            EXPECT_EQ(key.Pixel(x, row), Opaque(kOff)) << "x " << x;
        }
    }
    // The body on either side.
    for (std::int32_t x : {c.x - 1, c.x + c.cell}) {
        if (x > 0 && x < c.width - 2) {
            EXPECT_EQ(key.Pixel(x, row), Opaque(kLit)) << "x " << x;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(cbkey2, CursorCell,
                         testing::Values(
                             // Cell 8 wide, base 8; past kursor 5 the cell moves back half a cell.
                             CellCase{100, 15, 0, 8, 8}, CellCase{100, 15, 3, 32, 8},
                             CellCase{100, 15, 5, 48, 8}, CellCase{100, 15, 7, 60, 8},
                             // Left of the base, partly off the key.
                             CellCase{100, 15, -1, 0, 8},
                             // The real base 9.5 truncates to 9.
                             CellCase{103, 15, 0, 9, 8},
                             // Cell 6 wide; the real base -15.5 pins to 0.
                             CellCase{32, 11, 2, 12, 6}, CellCase{32, 11, 0, 0, 6}));

TEST(cbkey2, ACellPastTheRightEdgeLeavesNoTrace) {
    CountingKey key;
    Sized(key, 32, 20);
    key.textsize = 11;
    key.highlight = true;
    key.setkursor(6);  // x 33
    EXPECT_EQ(key.draws, 1);
    for (std::int32_t y = 0; y < 20; ++y) {
        for (std::int32_t x = 0; x < 32; ++x) {
            ASSERT_NE(key.Pixel(x, y), Opaque(kOff)) << x << "," << y;
        }
    }
}

TEST(cbkey2, WithoutHighlightNoCellIsDrawn) {
    CountingKey key;
    Sized(key, 100, 20);
    key.textsize = 15;
    key.redraw();
    EXPECT_EQ(key.Pixel(10, 10), Opaque(kLit));
}

TEST(cbkey2, TheTextSizeFollowsTheHeightAtOpenAndThroughSetheightWithoutDrawing) {
    struct {
        std::int32_t height;
        std::int32_t textsize;
    } const cases[] = {{20, 11}, {21, 12}, {7, 4}, {6, 3}, {0, 0}};
    for (const auto& c : cases) {
        CountingKey key;
        Sized(key, 32, c.height);
        key.textsize = 14;  // as the colour keys' lists set it
        key.RaiseOpen();
        EXPECT_EQ(key.textsize, c.textsize) << "height " << c.height;
        EXPECT_EQ(key.draws, 0);
    }
    CountingKey key;
    Sized(key, 32, 20);
    key.setheight(28);
    EXPECT_EQ(key.Height(), 28);
    EXPECT_EQ(key.textsize, 16);
    EXPECT_EQ(key.draws, 0);
}

TEST(cbkey2, SetlitAndSetkursorDrawOnlyWhenTheValueChanges) {
    CountingKey key;
    Sized(key, 100, 20);
    key.setlit(true);
    key.setkursor(0);
    EXPECT_EQ(key.draws, 0);
    EXPECT_EQ(key.Pixel(50, 10), kTransparent);

    key.setkursor(4);
    EXPECT_EQ(key.kursor, 4);
    key.setlit(false);
    EXPECT_FALSE(key.lit);
    EXPECT_EQ(key.draws, 2);
    EXPECT_EQ(key.Pixel(50, 10), Opaque(kOff));
}

TEST(cbkey2, SetcolorSetsTheNamedColoursAndAlwaysDraws) {
    struct {
        const char* name;
        std::uint32_t lit;
        std::uint32_t text;
    } const cases[] = {
        {"red", 0xFF0000, 0xFFFFFF},
        {"lime", 0x00FF00, 0x000000},
        {"yellow", 0xFFFF00, 0x000000},
        {"blue", 0x0000FF, 0xFFFFFF},
        // Any other name, the case of a known one included, keeps the colours.
        {"Red", 0x123456, 0x654321},
        {"green", 0x123456, 0x654321},
        {"", 0x123456, 0x654321},
    };
    for (const auto& c : cases) {
        CountingKey key;
        Sized(key, 32, 20);
        key.litcolor = fw::Color::FromValue(0x123456);
        key.TextLitcolor = fw::Color::FromValue(0x654321);
        key.setcolor(c.name);
        EXPECT_EQ(key.litcolor, fw::Color::FromValue(c.lit)) << c.name;
        EXPECT_EQ(key.TextLitcolor, fw::Color::FromValue(c.text)) << c.name;
        EXPECT_EQ(key.draws, 1) << c.name;
        EXPECT_EQ(key.Pixel(16, 10), Opaque(c.lit)) << c.name;
    }
}

TEST(cbkey2, APaintRedrawsTheWholeKey) {
    CountingKey key;
    Sized(key, 32, 20);
    key.setcolor("yellow");
    const QImage shown = key.Widget()->grab().toImage();
    EXPECT_EQ(key.draws, 2);
    EXPECT_EQ(shown.pixel(16, 10), qRgb(255, 255, 0));
    EXPECT_EQ(shown.pixel(16, 0), qRgb(0, 0, 0));
}

TEST(cbkey2, MouseDownRaisesActionWhenBoundAndIsNeverHandled) {
    CountingKey key;
    Sized(key, 32, 20);
    EXPECT_FALSE(key.Event_MouseDown(3, 4));

    int actions = 0;
    key.InstallEventHandler("Action", [&](fw::Control& sender) {
        EXPECT_EQ(&sender, &key);
        ++actions;
    });
    EXPECT_FALSE(key.Event_MouseDown(3, 4));
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(key.draws, 0);
}

TEST(cbkey2, WithoutAreaRedrawRaisesNilObjectAndLeavesTheKeyAsItWas) {
    CountingKey key;
    Sized(key, 32, 20);
    key.setcolor("red");
    for (auto [w, h] : {std::pair{32, 0}, {0, 20}}) {
        Sized(key, w, h);
        EXPECT_THROW(key.redraw(), fw::NilObjectException);
    }
    Sized(key, 32, 20);
    EXPECT_EQ(key.Pixel(16, 10), Opaque(0xFF0000));
}

}  // namespace
