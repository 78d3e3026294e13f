// The key text a typed key gives KeyDown: the codes of Return, Enter and the arrow keys come from
// those keys alone, and nothing typed with Ctrl, Alt or Meta held gives a text at all.
#include "framework/key_events.h"

#include <gtest/gtest.h>

#include <QKeyEvent>

#include <string>

namespace {

TEST(KeyText, NamedKeysGiveTheirCodesAndCommandCombinationsGiveNothing) {
    constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
    const struct {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;  // as the X server types it
        std::string expected;
    } cases[] = {
        {"Return", Qt::Key_Return, kNone, "\r", "\r"},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, "\r", "\r"},
        {"Shift+Return", Qt::Key_Return, Qt::ShiftModifier, "\r", "\r"},
        {"left", Qt::Key_Left, kNone, "", "\x1c"},
        {"right", Qt::Key_Right, kNone, "", "\x1d"},
        {"up", Qt::Key_Up, kNone, "", "\x1e"},
        {"down", Qt::Key_Down, kNone, "", "\x1f"},
        {"keypad left", Qt::Key_Left, Qt::KeypadModifier, "", "\x1c"},
        {"5", Qt::Key_5, kNone, "5", "5"},
        {"keypad 5", Qt::Key_5, Qt::KeypadModifier, "5", "5"},
        {"space", Qt::Key_Space, kNone, " ", " "},
        {"Tab", Qt::Key_Tab, kNone, "\t", "\t"},
        {"Shift alone", Qt::Key_Shift, Qt::ShiftModifier, "", ""},
        {"Ctrl+1", Qt::Key_1, Qt::ControlModifier, "1", ""},
        {"Ctrl+4", Qt::Key_4, Qt::ControlModifier, "\x1c", ""},
        {"Ctrl+7", Qt::Key_7, Qt::ControlModifier, "\x1f", ""},
        {"Ctrl+backslash", Qt::Key_Backslash, Qt::ControlModifier, "\x1c", ""},
        {"Ctrl+bracketright", Qt::Key_BracketRight, Qt::ControlModifier, "\x1d", ""},
        {"Ctrl+Shift+asciicircum", Qt::Key_AsciiCircum, Qt::ControlModifier | Qt::ShiftModifier,
         "\x1e", ""},
        {"Ctrl+Shift+underscore", Qt::Key_Underscore, Qt::ControlModifier | Qt::ShiftModifier,
         "\x1f", ""},
        {"Ctrl+M", Qt::Key_M, Qt::ControlModifier, "\r", ""},
        {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier, "\r", ""},
        {"Alt+5", Qt::Key_5, Qt::AltModifier, "5", ""},
        {"Alt+left", Qt::Key_Left, Qt::AltModifier, "", ""},
        {"Meta+5", Qt::Key_5, Qt::MetaModifier, "5", ""},
        {"a key typing a Return character", Qt::Key_M, kNone, "\r", ""},
        {"a key typing an arrow's code", Qt::Key_4, kNone, "\x1c", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        EXPECT_EQ(fw::KeyText(event), c.expected);
    }
}

}  // namespace
