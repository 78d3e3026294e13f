#include "framework/key_events.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include <cstdint>
#include <utility>

#include "framework/display_keyboard.h"
#include "framework/held_keys.h"
#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "framework/window_private.h"

namespace fw {

namespace {

// The window a key was typed into, or nullptr when the key belongs to something else: a menu or
// another popup, the menu bar walking its menus, or a window a modal one is blocking.
Window* TypedInto(QWidget& receiver) {
    if (QApplication::activePopupWidget() != nullptr) {
        return nullptr;
    }
    auto* top = dynamic_cast<WindowWidget*>(receiver.window());
    if (top == nullptr) {
        return nullptr;
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != top) {
        return nullptr;
    }
    if (QWidget* bar = top->menuWidget();
        bar != nullptr && (bar == &receiver || bar->isAncestorOf(&receiver))) {
        return nullptr;
    }
    Window& window = top->Owner();
    return window.IsClosed() ? nullptr : &window;
}

// Whether a key is held down, as the display tells; a display that does not tell has it up.
bool StillDown(std::uint32_t key) {
    const auto down = KeysDownOnDisplay();
    return down && down->count(key) > 0;
}

class KeyDownFilter : public QObject, public QAbstractNativeEventFilter {
public:
    void LostKeyboard() { held_.LostKeyboard(); }

    // The display's own events, before Qt makes them its events: the keys held down as the
    // keyboard came, told in order with the key events, so that a key pressed in the panel right
    // after is the panel's.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType == "xcb_generic_event_t") {
            if (auto downElsewhere = focusKeys_.Read(message)) {
                held_.TookKeyboard(std::move(*downElsewhere));
            }
        }
        return false;
    }

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        // Every key that goes down or comes up anywhere in the application counts, also in a
        // menu or a modal window.
        if (event->type() == QEvent::KeyRelease) {
            const auto& key = *static_cast<QKeyEvent*>(event);
            const std::uint32_t code = key.nativeScanCode();
            held_.Released(code, key.isAutoRepeat(), [code] { return StillDown(code); });
            return false;
        }
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto& key = *static_cast<QKeyEvent*>(event);
        held_.Pressed(key.nativeScanCode(), key.isAutoRepeat());
        if (!receiver->isWidgetType()) {
            return false;
        }
        // A key the focused widget ignores travels on to its parents; only its first delivery
        // counts, so that KeyDown is raised once per key.
        auto* widget = static_cast<QWidget*>(receiver);
        QWidget* first = QApplication::focusWidget();
        if (first != nullptr ? widget != first : !widget->isWindow()) {
            return false;
        }
        if (!held_.Belongs(key.nativeScanCode(), key.isAutoRepeat())) {
            return false;  // a key held down in another window, repeating
        }
        Window* window = TypedInto(*widget);
        if (window == nullptr) {
            return false;
        }
        const String text = KeyText(key);
        if (text.empty()) {
            return false;
        }
        bool handled = false;
        Dispatch([&] { handled = window->Event_KeyDown(text); });
        return handled;
    }

private:
    FocusKeys focusKeys_;
    HeldKeys held_;
};

// The character codes that Return, Enter and the arrow keys stand for.
bool IsNamedKeyCode(char c) {
    return c == '\r' || (c >= char(28) && c <= char(31));
}

}  // namespace

String KeyText(const QKeyEvent& event) {
    // With Ctrl, Alt or Meta held a key is a command, not a character: Ctrl+M types the Return
    // character, Ctrl+4 to Ctrl+7 the arrows' codes, and Ctrl+1 still "1".
    if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return {};
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return String(1, '\r');
        case Qt::Key_Left:
            return String(1, char(28));
        case Qt::Key_Right:
            return String(1, char(29));
        case Qt::Key_Up:
            return String(1, char(30));
        case Qt::Key_Down:
            return String(1, char(31));
        default: {
            String text = ToBytes(event.text());
            // Those codes come from those keys alone.
            return !text.empty() && IsNamedKeyCode(text[0]) ? String() : text;
        }
    }
}

void InstallKeyDownFilter() {
    static bool installed = false;
    if (installed || QApplication::instance() == nullptr) {
        return;
    }
    installed = true;
    auto* filter = new KeyDownFilter();
    filter->setParent(QApplication::instance());  // the application owns it
    QApplication::instance()->installEventFilter(filter);
    QApplication::instance()->installNativeEventFilter(filter);
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, filter,
                     [filter](Qt::ApplicationState state) {
                         if (state != Qt::ApplicationActive) {
                             filter->LostKeyboard();
                         }
                     });
}

}  // namespace fw
