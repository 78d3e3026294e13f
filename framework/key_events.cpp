#include "framework/key_events.h"

#include <QApplication>
#include <QKeyEvent>

#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window.h"
#include "framework/window_private.h"

namespace fw {

namespace {

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
        Window* window = WindowOf(widget);
        if (window == nullptr || window->IsClosed()) {
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

}  // namespace

String KeyText(const QKeyEvent& event) {
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
            return ToBytes(event.text());
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
