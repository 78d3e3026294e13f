// Typed keys: the sixteen mapped keys send the code their keypad key holds under the protocol in
// force; every other key sends nothing; the key is never reported as handled. Only keys typed into
// the main window itself count: not those walking a menu or the menu bar, not those meant for the
// port dialog, not those typed with Ctrl, Alt or Meta held.
#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include "controls/cbbevil.h"
#include "framework/bevel_button.h"
#include "framework/listbox.h"
#include "framework/popup_menu.h"
#include "framework/window_private.h"
#include "link/selectport.h"
#include "tests/support/frames.h"
#include "tests/support/panel_fixture.h"

namespace zq8test {
namespace {

struct Typed {
    const char* name;
    Qt::Key key;
    char text;  // 0: the key types no text
    int sircCode;
    int rc6Code;
};

constexpr Typed kMapped[] = {
    {"Return", Qt::Key_Return, '\r', 61, 92},
    {"Enter", Qt::Key_Enter, '\r', 61, 92},
    {"left", Qt::Key_Left, 0, 59, 90},
    {"right", Qt::Key_Right, 0, 60, 91},
    {"up", Qt::Key_Up, 0, 57, 88},
    {"down", Qt::Key_Down, 0, 58, 89},
    {"space", Qt::Key_Space, ' ', 26, 44},
    {"0", Qt::Key_0, '0', 9, 0},
    {"1", Qt::Key_1, '1', 0, 1},
    {"2", Qt::Key_2, '2', 1, 2},
    {"3", Qt::Key_3, '3', 2, 3},
    {"4", Qt::Key_4, '4', 3, 4},
    {"5", Qt::Key_5, '5', 4, 5},
    {"6", Qt::Key_6, '6', 5, 6},
    {"7", Qt::Key_7, '7', 6, 7},
    {"8", Qt::Key_8, '8', 7, 8},
    {"9", Qt::Key_9, '9', 8, 9},
};

class KeyboardMapTest : public PanelTest {
protected:
    void SetUp() override {
        ListPorts();
        WriteSettings({"controlport", pty.SlavePath()});
        StartPanel();
        Received(6);
        window->GetPrivate().widget->activateWindow();
        ProcessEvents();
    }
    QWidget* Target() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()
                                           : window->GetPrivate().widget.get();
    }
    void Type(const Typed& typed) {
        QTest::keyClick(Target(), typed.key);
        ProcessEvents();
    }
    // A key press as the X server delivers it, with its text and modifiers as given.
    static void Press(QWidget* target, int key, Qt::KeyboardModifiers modifiers,
                      const QString& text, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text, autoRepeat);
        QApplication::sendEvent(target, &event);
    }
    // "5" typed into the main window presses key 4: its frame shows that keys reach the map.
    void ExpectFiveStillPressesItsKey() {
        Press(Target(), Qt::Key_5, Qt::NoModifier, "5");
        EXPECT_EQ(HexBytes(Received(5)), "02 BA 04 00 C0");
    }
};

TEST_F(KeyboardMapTest, MappedKeysSendTheirKeysCodeInBothProtocols) {
    for (const Typed& typed : kMapped) {
        SCOPED_TRACE(typed.name);
        Type(typed);
        EXPECT_EQ(HexBytes(Received(5)), HexBytes(CommandFrame(typed.sircCode)));
    }
    ASSERT_NO_FATAL_FAILURE(Choose(window->ProtocolPhillipsRC6()));
    Received(6);
    for (const Typed& typed : kMapped) {
        SCOPED_TRACE(typed.name);
        Type(typed);
        EXPECT_EQ(HexBytes(Received(5)), HexBytes(CommandFrame(typed.rc6Code)));
    }
}

TEST_F(KeyboardMapTest, OtherKeysSendNothingAndNoKeyIsReportedHandled) {
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_F1}) {
        Type({"other", key, 0, 0, 0});
    }
    EXPECT_TRUE(NothingMoreArrives());
    EXPECT_FALSE(window->Event_KeyDown("a"));
    EXPECT_FALSE(window->Event_KeyDown(""));
    EXPECT_FALSE(window->Event_KeyDown("5"));
    EXPECT_EQ(HexBytes(Received(5)), "02 BA 04 00 C0");
    // A text of several characters counts by its first.
    EXPECT_FALSE(window->Event_KeyDown("59"));
    EXPECT_EQ(HexBytes(Received(5)), "02 BA 04 00 C0");
    EXPECT_TRUE(NothingMoreArrives());
}

TEST_F(KeyboardMapTest, KeysTypedWithCtrlAltOrMetaPressNoKey) {
    const struct {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
    } cases[] = {
        {Qt::Key_1, Qt::ControlModifier, "1"},    {Qt::Key_4, Qt::ControlModifier, "\x1c"},
        {Qt::Key_7, Qt::ControlModifier, "\x1f"}, {Qt::Key_M, Qt::ControlModifier, "\r"},
        {Qt::Key_5, Qt::AltModifier, "5"},        {Qt::Key_Left, Qt::AltModifier, ""},
        {Qt::Key_Return, Qt::MetaModifier, "\r"},
    };
    for (const auto& c : cases) {
        Press(Target(), c.key, c.modifiers, c.text);
    }
    EXPECT_TRUE(NothingMoreArrives());
    ExpectFiveStillPressesItsKey();
}

TEST_F(KeyboardMapTest, AHeldKeySendsItsFrameOnEveryRepeat) {
    Press(Target(), Qt::Key_8, Qt::NoModifier, "8");
    for (int repeat = 0; repeat < 3; ++repeat) {
        Press(Target(), Qt::Key_8, Qt::NoModifier, "8", true);
    }
    EXPECT_EQ(HexBytes(Received(20)),
              HexBytes(CommandFrame(7) + CommandFrame(7) + CommandFrame(7) + CommandFrame(7)));
}

TEST_F(KeyboardMapTest, KeysWalkingAMenuOrTheMenuBarPressNoKey) {
    QMenu* options = window->GetPrivate().actions.at(window->ViewMenu())->menu();
    ASSERT_NE(options, nullptr);
    options->popup(window->GetPrivate().widget->mapToGlobal(QPoint(100, 20)));
    ProcessEvents();
    ASSERT_EQ(QApplication::activePopupWidget(), options);
    Press(options, Qt::Key_Down, Qt::NoModifier, "");
    Press(options, Qt::Key_5, Qt::NoModifier, "5");
    Press(options, Qt::Key_Escape, Qt::NoModifier, "\x1b");
    ProcessEvents();
    options->close();
    QWidget* bar = window->GetPrivate().widget->menuWidget();
    ASSERT_NE(bar, nullptr);
    bar->setFocus();
    Press(bar, Qt::Key_Left, Qt::NoModifier, "");
    Press(bar, Qt::Key_5, Qt::NoModifier, "5");
    EXPECT_TRUE(NothingMoreArrives());
    window->GetPrivate().content->setFocus();
    ExpectFiveStillPressesItsKey();
}

TEST_F(KeyboardMapTest, KeysWhileThePortDialogIsShownPressNoKey) {
    QTimer::singleShot(0, [this] {
        // Sent to the blocked main window directly, past the platform's own modal check.
        Press(window->GetPrivate().widget.get(), Qt::Key_5, Qt::NoModifier, "5");
        Press(window->GetPrivate().widget.get(), Qt::Key_Return, Qt::NoModifier, "\r");
        selectport& dialog = *selectport::selectport_();
        Press(dialog.GetPrivate().widget.get(), Qt::Key_5, Qt::NoModifier, "5");
        dialog.SerialPopup().SetListIndex(RowOf(pty.SlavePath()));
        QTest::mouseClick(dialog.BevelButton1().Widget(), Qt::LeftButton);
    });
    ASSERT_NO_FATAL_FAILURE(Choose(window->ViewSelectPort()));
    ASSERT_EQ(window->Title(), "ZQ8-" + pty.SlavePath());
    EXPECT_TRUE(NothingMoreArrives());
    window->GetPrivate().widget->activateWindow();
    ProcessEvents();
    ExpectFiveStillPressesItsKey();
}

TEST_F(KeyboardMapTest, AMappedKeyWithoutACodeSendsNothingAndAddsNoRow) {
    ASSERT_NO_FATAL_FAILURE(Choose(window->Optionsviewcmds()));
    window->ZQ8k(4).tag = -1;
    const int rows = window->Listbox1().ListCount();
    EXPECT_FALSE(window->Event_KeyDown("5"));
    EXPECT_TRUE(NothingMoreArrives());
    EXPECT_EQ(window->Listbox1().ListCount(), rows);
}

}  // namespace
}  // namespace zq8test
