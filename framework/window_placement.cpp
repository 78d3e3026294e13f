// Where a window stands: centred over the window in front of it when its layout asks for that,
// and wholly on a screen when it shows.
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstdint>
#include <vector>

#include "framework/placement.h"
#include "framework/window_private.h"
#include "framework/window_registry.h"

namespace fw {

namespace {

// The placement code that centres a window over the window in front of it.
constexpr std::int32_t kPlacementParentCentred = 4;

}  // namespace

const Window::Private* WindowInFront(const Window::Private& self) {
    if (auto* active = dynamic_cast<WindowWidget*>(QApplication::activeWindow())) {
        const Window& window = active->Owner();
        if (&window.GetPrivate() != &self && !window.IsClosed()) {
            return &window.GetPrivate();
        }
    }
    for (const auto& [name, window] : ImplicitWindows()) {
        if (&window->GetPrivate() != &self && !window->IsClosed()) {
            return &window->GetPrivate();
        }
    }
    return nullptr;
}

void Window::Private::Place(std::int32_t placement) {
    if (placement != kPlacementParentCentred) {
        return;
    }
    if (const Private* front = WindowInFront(*this)) {
        widget->move(CentredOver(QRect(front->widget->pos(), front->widget->frameSize()),
                                 widget->frameSize()));
    }
}

QMargins Window::Private::FrameMargins() const {
    if (shownOnce) {
        return MarginsBetween(widget->frameGeometry(), widget->geometry());
    }
    // Not known before the window first shows: one window manager frames our windows alike.
    for (const auto& [name, window] : ImplicitWindows()) {
        const QWidget& other = *window->GetPrivate().widget;
        if (&other != widget.get() && other.isVisible()) {
            return MarginsBetween(other.frameGeometry(), other.geometry());
        }
    }
    return {};
}

void Window::Private::KeepOnScreen() {
    // A stored position partly or wholly off the screens (a monitor since removed, a smaller
    // screen) could leave the OK button out of reach; the stored values stay until the window
    // stores its real position.
    const QRect frame(widget->pos(), widget->size().grownBy(FrameMargins()));
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    if (const QPoint shown = OnNearestScreen(frame, screens); shown != frame.topLeft()) {
        widget->move(shown);
    }
}

}  // namespace fw
