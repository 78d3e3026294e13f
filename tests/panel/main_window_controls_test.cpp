// The main window's 44 controls as built: names, indices, places, captions, tab order and
// classes in creation order; the starting key codes; the lookups; and real clicks on the keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/serial.h"
#include "framework/window_private.h"
#include "link/serialc.h"
#include "panel/zq8.h"
#include "panel/zq8_colork.h"
#include "panel/zq8_zq8k.h"
#include "tests/support/main_window_layout.h"

namespace {

using zq8test::kMainWindowLayout;
using zq8test::PlacedControl;

// The main window whose key handlers record the key that raised Action before doing their work:
// the keys are bound through the window's operation table, so these overrides are what runs.
class RecordingZq8 : public zq8 {
public:
    void ZQ8k_Action(cbbevil& key) override {
        clicked.push_back(key.Index());
        zq8::ZQ8k_Action(key);
    }
    void colork_Action(cbkey2& key) override {
        clicked.push_back(key.Index());
        zq8::colork_Action(key);
    }
    // The controls as created, before the window's Open loads the settings and a key code table.
    void Event_Open() override {}
    std::vector<std::int32_t> clicked;
};

class MainWindowControls : public testing::Test {
protected:
    void SetUp() override {
        window = std::make_shared<RecordingZq8>();
        window->Constructor();
        QApplication::processEvents();  // shown
    }
    void TearDown() override { fw::ReleaseAllWindows(); }

    QRect ContentArea() const { return window->GetPrivate().content->rect(); }

    std::shared_ptr<RecordingZq8> window;
};

TEST_F(MainWindowControls, FortyFourControlsInCreationOrderWithTheirNamesPlacesAndTabOrder) {
    const std::vector<fw::Control*>& controls = window->Controls();
    ASSERT_EQ(controls.size(), kMainWindowLayout.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const PlacedControl& want = kMainWindowLayout[i];
        SCOPED_TRACE(testing::PrintToString(want));
        fw::Control& control = *controls[i];
        EXPECT_EQ(control.Name(), want.name);
        EXPECT_EQ(control.Index(), want.index);
        EXPECT_EQ(window->ControlByNameIndex(want.name, want.index), &control);
        EXPECT_EQ(control.Owner(), window.get());
        auto* placed = dynamic_cast<fw::RectControl*>(&control);
        if (want.name == std::string("Serialc")) {
            EXPECT_EQ(placed, nullptr);
            continue;
        }
        ASSERT_NE(placed, nullptr);
        EXPECT_EQ(placed->Left(), want.left);
        EXPECT_EQ(placed->Top(), want.top);
        EXPECT_EQ(placed->Width(), want.width);
        EXPECT_EQ(placed->Height(), want.height);
        EXPECT_EQ(placed->TabIndex(), want.tabIndex);
        EXPECT_TRUE(placed->Visible());
        EXPECT_TRUE(placed->Enabled());
        EXPECT_EQ(placed->Widget()->geometry(),
                  QRect(want.left, want.top, want.width, want.height));
        EXPECT_TRUE(placed->Widget()->isVisibleTo(window->GetPrivate().content));
        if (want.caption != nullptr) {
            auto* key = dynamic_cast<zq8::ZQ8k_*>(&control);
            ASSERT_NE(key, nullptr);
            EXPECT_EQ(key->Caption(), want.caption);
            EXPECT_EQ(static_cast<QPushButton*>(key->Widget())->text(), want.caption);
        }
    }
}

TEST_F(MainWindowControls, EachControlIsOfItsClassAndTheLookupsFindItOrRaise) {
    for (const PlacedControl& want : kMainWindowLayout) {
        SCOPED_TRACE(testing::PrintToString(want));
        if (want.IsKeypadKey()) {
            EXPECT_EQ(window->ZQ8k(want.index).GetClassInfo().name, "zq8.ZQ8k");
            EXPECT_TRUE(window->ZQ8k(want.index).GetClassInfo().IsA(cbbevil::Class()));
        } else if (want.IsColourKey()) {
            EXPECT_EQ(window->colork(want.index).GetClassInfo().name, "zq8.colork");
            EXPECT_TRUE(window->colork(want.index).GetClassInfo().IsA(cbkey2::Class()));
        }
    }
    EXPECT_EQ(window->Serialc().GetClassInfo().name, "zq8.Serialc");
    EXPECT_EQ(window->Listbox1().GetClassInfo().name, "Listbox");
    for (std::int32_t absent : {10, 11, 12, 13, 14, 43, -1}) {
        EXPECT_EQ(window->ControlByNameIndex("ZQ8k", absent), nullptr) << absent;
        EXPECT_THROW(window->ZQ8k(absent), fw::NilObjectException) << absent;
    }
    EXPECT_THROW(window->colork(101), fw::NilObjectException);
    EXPECT_THROW(window->colork(17), fw::NilObjectException);
}

TEST_F(MainWindowControls, KeysStartWithoutCodesAndColourKeysWithTheirListsValues) {
    for (const PlacedControl& want : kMainWindowLayout) {
        if (want.IsKeypadKey()) {
            EXPECT_EQ(window->ZQ8k(want.index).tag, -1) << want.index;
            EXPECT_FALSE(window->ZQ8k(want.index).AcceptFocus());
            EXPECT_EQ(window->ZQ8k(want.index).Widget()->focusPolicy(), Qt::NoFocus);
        }
    }
    for (std::int32_t index : {102, 103, 104, 105}) {
        const cbkey2& key = window->colork(index);
        EXPECT_EQ(key.Tag, 0) << index;
        EXPECT_EQ(key.litcolor, fw::RGB(0x80, 0xFF, 0x80)) << index;
        EXPECT_EQ(key.Textfont, "System");
        EXPECT_EQ(key.deltay, -5);
        EXPECT_EQ(key.textsize, 11) << "the list's 14, replaced at the key's Open";
        EXPECT_FALSE(key.AcceptFocus());
    }
}

TEST_F(MainWindowControls, TheSerialControlAndTheLogHaveTheirLists) {
    const fw::Serial& serial = window->Serialc();
    EXPECT_EQ(serial.Baud(), 12);
    EXPECT_EQ(serial.Bits(), 3);
    EXPECT_EQ(serial.Parity(), 1);
    EXPECT_EQ(serial.Stop(), 0);
    EXPECT_FALSE(serial.XON() || serial.CTS() || serial.DTR());

    const fw::Listbox& log = window->Listbox1();
    EXPECT_EQ(log.TextUnit(), 0);
    EXPECT_EQ(log.ListCount(), 0);
    EXPECT_EQ(log.ColumnCount, 1);
    EXPECT_FALSE(log.HasHeading);
    EXPECT_EQ(log.HeadingIndex, -1);
    EXPECT_EQ(log.ScrollWidth, -1);
}

TEST_F(MainWindowControls, TheLogIsOutOfSightAt474AndWhollyInSightAt584) {
    const QRect log = window->Listbox1().Widget()->geometry();
    EXPECT_EQ(window->Height(), 474);
    EXPECT_FALSE(ContentArea().intersects(log));
    window->SetHeight(584);
    EXPECT_TRUE(ContentArea().contains(log));
    EXPECT_EQ(ContentArea().bottom() - log.bottom(), 8);
}

TEST_F(MainWindowControls, KeysStayInsideTheMarginsAndNoTwoControlsOverlap) {
    std::vector<QRect> keys;
    const QRect keypadArea(QPoint(20, 8), QPoint(239, 467));
    for (const PlacedControl& want : kMainWindowLayout) {
        if (want.caption != nullptr || want.IsColourKey()) {
            keys.emplace_back(want.left, want.top, want.width, want.height);
            EXPECT_TRUE(keypadArea.contains(keys.back())) << testing::PrintToString(want);
        }
    }
    keys.push_back(window->Listbox1().Widget()->geometry());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        for (std::size_t j = i + 1; j < keys.size(); ++j) {
            EXPECT_FALSE(keys[i].intersects(keys[j])) << i << " and " << j;
        }
    }
}

TEST_F(MainWindowControls, EveryCaptionFitsItsKeyAndAllKeysShareOneLook) {
    const QFont font = window->ZQ8k(17).Widget()->font();
    for (const PlacedControl& want : kMainWindowLayout) {
        if (want.caption == nullptr) {
            continue;
        }
        auto* button = static_cast<QPushButton*>(window->ZQ8k(want.index).Widget());
        EXPECT_EQ(button->font(), font) << want.index;
        EXPECT_TRUE(button->styleSheet().isEmpty());
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QRect text =
            QFontMetrics(button->font()).boundingRect(contents, Qt::AlignCenter, want.caption);
        EXPECT_TRUE(contents.contains(text))
            << want.caption << ": text " << text.width() << "x" << text.height() << " in "
            << contents.width() << "x" << contents.height();
    }
}

// A click in the middle of a control's widget, through real mouse events.
void Click(fw::RectControl& control) {
    QTest::mouseClick(control.Widget(), Qt::LeftButton, {}, control.Widget()->rect().center());
}

TEST_F(MainWindowControls, AClickOnAnyKeyReachesItsHandlerWithThatKey) {
    std::vector<std::int32_t> expected;
    for (const PlacedControl& want : kMainWindowLayout) {
        if (want.caption != nullptr) {
            Click(window->ZQ8k(want.index));
        } else if (want.IsColourKey()) {
            // A colour key acts on the press itself.
            QTest::mousePress(window->colork(want.index).Widget(), Qt::LeftButton, {},
                              QPoint(16, 10));
            EXPECT_EQ(window->clicked.back(), want.index);
            QTest::mouseRelease(window->colork(want.index).Widget(), Qt::LeftButton, {},
                                QPoint(16, 10));
        } else {
            continue;
        }
        expected.push_back(want.index);
    }
    EXPECT_EQ(window->clicked, expected);
}

TEST_F(MainWindowControls, AKeyWithoutACodeAddsItsKeyRowOnlyWhileTheLogIsShown) {
    const fw::Listbox& log = window->Listbox1();
    struct {
        std::int32_t height;
        bool shown;
    } const heights[] = {{474, false}, {500, false}, {501, true}, {584, true}};
    for (const auto& h : heights) {
        window->SetHeight(h.height);
        window->Listbox1().DeleteAllRows();
        Click(window->ZQ8k(15));
        Click(window->ZQ8k(40));
        if (h.shown) {
            ASSERT_EQ(log.ListCount(), 2) << h.height;
            EXPECT_EQ(log.Cell(0), "Key 40");
            EXPECT_EQ(log.Cell(1), "Key 15");
        } else {
            EXPECT_EQ(log.ListCount(), 0) << h.height;
        }
    }
}

TEST_F(MainWindowControls, TheParameterlessConstructorsMakeAWholeKeyOnTheMainWindow) {
    auto& key = window->New<zq8::ZQ8k_>();
    key.Constructor();
    auto& colour = window->New<zq8::colork_>();
    colour.Constructor();
    const std::vector<fw::Control*>& controls = window->Controls();
    ASSERT_EQ(controls.size(), 46u);
    EXPECT_EQ(controls[44], &key);
    EXPECT_EQ(controls[45], &colour);
    EXPECT_EQ(key.Name(), "ZQ8k");
    EXPECT_EQ(key.Index(), 0);
    EXPECT_EQ(key.Caption(), "Power On/Off");
    EXPECT_EQ(key.Left(), 140);
    EXPECT_EQ(colour.Name(), "colork");
    EXPECT_EQ(colour.Index(), 0);
    EXPECT_EQ(colour.Left(), 20);
    window->clicked.clear();
    Click(key);
    QTest::mousePress(colour.Widget(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(window->clicked, (std::vector<std::int32_t>{0, 0}));
}

TEST(MainWindowKeys, ConstructedWithoutAMainWindowTheyRaiseNilObject) {
    zq8::ZQ8k_ key;
    EXPECT_THROW(key.Constructor(), fw::NilObjectException);
    zq8::colork_ colour;
    EXPECT_THROW(colour.Constructor(), fw::NilObjectException);
}

TEST(MainWindow, TheImplicitInstanceBuildsTheControlsBeforeItsOpen) {
    auto window = zq8::zq8_();
    EXPECT_EQ(window->Controls().size(), 44u);
    EXPECT_EQ(zq8::zq8_(), window);
    fw::ReleaseAllWindows();
}

}  // namespace
