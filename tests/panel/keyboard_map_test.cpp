// Typed keys: the sixteen mapped keys send the code their keypad key holds under the protocol in
// force; every other key sends nothing; the key is never reported as handled.
#include <gtest/gtest.h>

#include <QTest>

#include "controls/cbbevil.h"
#include "framework/listbox.h"
#include "framework/window_private.h"
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
    void Type(const Typed& typed) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget()
                                                      : window->GetPrivate().widget.get();
        QTest::keyClick(target, typed.key);
        ProcessEvents();
    }
};

TEST_F(KeyboardMapTest, MappedKeysSendTheirKeysCodeInBothProtocols) {
    for (const Typed& typed : kMapped) {
        SCOPED_TRACE(typed.name);
        Type(typed);
        EXPECT_EQ(HexBytes(Received(5)), HexBytes(CommandFrame(typed.sircCode)));
    }
    Choose(window->ProtocolPhillipsRC6());
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

TEST_F(KeyboardMapTest, AMappedKeyWithoutACodeSendsNothingAndAddsNoRow) {
    Choose(window->Optionsviewcmds());
    window->ZQ8k(4).tag = -1;
    const int rows = window->Listbox1().ListCount();
    EXPECT_FALSE(window->Event_KeyDown("5"));
    EXPECT_TRUE(NothingMoreArrives());
    EXPECT_EQ(window->Listbox1().ListCount(), rows);
}

}  // namespace
}  // namespace zq8test
