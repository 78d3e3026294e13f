#include "framework/key_events.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

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

class KeyDownFilter : public QObject {
protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        if (event->type() != QEvent::KeyPress || !receiver->isWidgetType()) {
            return false;
        }
        // A key the focused widget ignores travels on to its parents; only its first delivery
        // counts, so that KeyDown is raised once per key.
        auto* widget = static_cast<QWidget*>(receiver);
        QWidget* first = QApplication::focusWidget();
        if (first != nullptr ? widget != first : !widget->isWindow()) {
            return false;
        }
        Window* window = TypedInto(*widget);
        if (window == nullptr) {
            return false;
        }
        const String text = KeyText(*static_cast<QKeyEvent*>(event));
        if (text.empty()) {
            return false;
        }
        bool handled = false;
        Dispatch([&] { handled = window->Event_KeyDown(text); });
        return handled;
    }
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
}

}  // namespace fw
