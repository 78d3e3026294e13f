// The bevel button: its caption, its font, its focus, and one Action per click.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include "framework/bevel_button.h"
#include "framework/property_list.h"
#include "framework/property_list_builder.h"

namespace {

class BevelButtonTest : public testing::Test {
protected:
    void SetUp() override {
        button.SetWidth(100);
        button.SetHeight(22);
        button.InstallEventHandler("Action", [this](fw::Control& sender) {
            ++actions;
            EXPECT_EQ(&sender, &button);
        });
        button.Widget()->show();
        QApplication::processEvents();
    }

    QPushButton& Push() { return *static_cast<QPushButton*>(button.Widget()); }

    fw::BevelButton button;
    int actions = 0;
};

TEST_F(BevelButtonTest, AClickInsideRaisesActionOnce) {
    QTest::mouseClick(button.Widget(), Qt::LeftButton, {}, QPoint(50, 11));
    EXPECT_EQ(actions, 1);
    QTest::mouseClick(button.Widget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(actions, 2);
}

TEST_F(BevelButtonTest, APressAloneOrAReleaseOutsideRaisesNothing) {
    QTest::mousePress(button.Widget(), Qt::LeftButton, {}, QPoint(50, 11));
    EXPECT_EQ(actions, 0);
    QTest::mouseRelease(button.Widget(), Qt::LeftButton, {}, QPoint(150, 40));
    EXPECT_EQ(actions, 0);
    QTest::mouseClick(button.Widget(), Qt::RightButton, {}, QPoint(50, 11));
    EXPECT_EQ(actions, 0);
}

TEST_F(BevelButtonTest, TheCaptionShowsAtOnceExactlyAsGiven) {
    button.SetCaption("Power On/Off");
    EXPECT_EQ(Push().text(), "Power On/Off");
    // An ampersand is shown, not taken as a shortcut mark.
    button.SetCaption("R&B");
    EXPECT_EQ(button.Caption(), "R&B");
    EXPECT_EQ(Push().text(), "R&&B");
}

TEST_F(BevelButtonTest, TheListSetsCaptionFocusAndFont) {
    fw::SetProperties(&button, fw::PropertyListBuilder()
                                   .Text("Caption", "Enter")
                                   .Integer("CaptionAlign", 3)
                                   .Integer("ButtonType", 0)
                                   .Boolean("Value", false)
                                   .Boolean("AcceptFocus", false)
                                   .Text("TextFont", "System")
                                   .Boolean("Bold", true)
                                   .Boolean("Italic", false)
                                   .Boolean("Underline", true)
                                   .Build());
    EXPECT_EQ(Push().text(), "Enter");
    EXPECT_EQ(button.CaptionAlign, 3);
    EXPECT_EQ(Push().focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(Push().font().bold());
    EXPECT_FALSE(Push().font().italic());
    EXPECT_TRUE(Push().font().underline());
    EXPECT_EQ(Push().font().family(), QApplication::font("QPushButton").family());
}

TEST_F(BevelButtonTest, TextSizeIsInPointsAndZeroIsTheButtonsOwnSize) {
    EXPECT_EQ(button.TextSize(), 0);
    const qreal ownSize = Push().font().pointSizeF();
    EXPECT_GT(ownSize, 0);
    button.SetTextSize(12);
    EXPECT_EQ(Push().font().pointSizeF(), 12);
    button.SetTextSize(0);
    EXPECT_EQ(Push().font().pointSizeF(), ownSize);
}

}  // namespace
