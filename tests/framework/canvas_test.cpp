// The drawn control: its backing image, drawings made in and outside Paint, and mouse presses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/canvas.h"
#include "framework/graphics.h"
#include "framework/property_list.h"
#include "framework/property_list_builder.h"
#include "framework/runtime.h"

namespace {

class ProbeCanvas : public fw::Canvas {
public:
    void Event_Open() override { ++opens; }
    void Event_Paint(fw::Graphics& g) override {
        ++paints;
        if (onPaint) {
            onPaint(g);
        }
    }
    bool Event_MouseDown(std::int32_t x, std::int32_t y) override {
        presses.emplace_back(x, y);
        if (throwOnPress) {
            throw std::runtime_error("press failed");
        }
        return true;
    }

    int opens = 0;
    int paints = 0;
    std::function<void(fw::Graphics&)> onPaint;
    std::vector<std::pair<int, int>> presses;
    bool throwOnPress = false;
};

QRgb Opaque(int r, int g, int b) {
    return qRgb(r, g, b);
}

class CanvasTest : public testing::Test {
protected:
    void SetUp() override {
        canvas.SetWidth(20);
        canvas.SetHeight(10);
        canvas.Widget()->show();
        QApplication::processEvents();
    }

    // What the widget shows, painted afresh.
    QImage Shown() { return canvas.Widget()->grab().toImage(); }

    ProbeCanvas canvas;
};

TEST_F(CanvasTest, ADrawingOutsidePaintSchedulesOneRepaintAndShowsAtOnce) {
    const int before = canvas.paints;
    fw::Graphics* g = canvas.Graphics();
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->Width(), 20);
    EXPECT_EQ(g->Height(), 10);
    g->SetForeColor(fw::RGB(255, 0, 0));
    g->FillRoundRect(0, 0, 20, 10, 0, 0);
    EXPECT_EQ(canvas.Pixel(5, 5), (fw::PixelColor{fw::RGB(255, 0, 0), 255}));
    QApplication::processEvents();
    EXPECT_EQ(canvas.paints, before + 1);
    EXPECT_EQ(Shown().pixel(5, 5), Opaque(255, 0, 0));
}

TEST_F(CanvasTest, PaintRaisesThePaintEventThenShowsTheBackingImageWithoutPaintingAgain) {
    canvas.onPaint = [](fw::Graphics& g) {
        g.SetForeColor(fw::RGB(0, 0, 255));
        g.FillRoundRect(0, 0, 10, 10, 0, 0);
    };
    const QImage shown = Shown();
    EXPECT_EQ(shown.pixel(2, 5), Opaque(0, 0, 255));
    const int after = canvas.paints;
    // The drawing made in Paint scheduled nothing: no repaint follows on its own.
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(canvas.paints, after);
}

TEST_F(CanvasTest, TheBackingImageStartsTransparentAndFollowsTheSizeKeepingItsDrawing) {
    EXPECT_EQ(canvas.Pixel(0, 0), fw::PixelColor{});
    fw::Graphics* g = canvas.Graphics();
    g->SetForeColor(fw::RGB(0, 255, 0));
    g->FillRoundRect(0, 0, 4, 4, 0, 0);
    canvas.SetWidth(40);
    ASSERT_EQ(canvas.Graphics()->Width(), 40);
    EXPECT_EQ(canvas.Pixel(1, 1), (fw::PixelColor{fw::RGB(0, 255, 0), 255}));
    EXPECT_EQ(canvas.Pixel(30, 1), fw::PixelColor{});

    canvas.SetHeight(0);
    EXPECT_EQ(canvas.Graphics(), nullptr);
    canvas.SetHeight(10);
    EXPECT_NE(canvas.Graphics(), nullptr);
}

TEST_F(CanvasTest, ALeftPressRaisesMouseDownAtItsPositionOtherButtonsDoNot) {
    QTest::mousePress(canvas.Widget(), Qt::LeftButton, {}, QPoint(7, 3));
    QTest::mouseRelease(canvas.Widget(), Qt::LeftButton, {}, QPoint(7, 3));
    QTest::mousePress(canvas.Widget(), Qt::RightButton, {}, QPoint(2, 2));
    QTest::mouseRelease(canvas.Widget(), Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(canvas.presses, (std::vector<std::pair<int, int>>{{7, 3}}));
}

TEST_F(CanvasTest, AnExceptionFromMouseDownGoesToTheUnhandledExceptionHandlingNotToQt) {
    canvas.throwOnPress = true;
    fw::RuntimeInit();
    testing::internal::CaptureStderr();
    QTest::mousePress(canvas.Widget(), Qt::LeftButton, {}, QPoint(1, 1));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("press failed"), std::string::npos) << err;
    EXPECT_EQ(fw::RuntimeExit(), 1);
}

TEST(Canvas, OpenIsTheControlsOpenEvent) {
    ProbeCanvas canvas;
    canvas.RaiseOpen();
    EXPECT_EQ(canvas.opens, 1);
}

TEST(Canvas, ItsListSetsFocusAndTheKeptValues) {
    ProbeCanvas canvas;
    EXPECT_EQ(canvas.Widget()->focusPolicy(), Qt::NoFocus);
    fw::SetProperties(&canvas, fw::PropertyListBuilder()
                                   .Boolean("UseFocusRing", false)
                                   .Boolean("AcceptFocus", true)
                                   .Boolean("AcceptTabs", true)
                                   .Boolean("EraseBackground", false)
                                   .Build());
    EXPECT_TRUE(canvas.AcceptFocus());
    EXPECT_EQ(canvas.Widget()->focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(canvas.UseFocusRing);
    EXPECT_TRUE(canvas.AcceptTabs);
    EXPECT_FALSE(canvas.EraseBackground);
    fw::SetProperties(&canvas, fw::PropertyListBuilder().Boolean("AcceptFocus", false).Build());
    EXPECT_EQ(canvas.Widget()->focusPolicy(), Qt::NoFocus);
}

}  // namespace
