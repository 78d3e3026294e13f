// A window's size, its content's, and the flags that ask the window manager for its frame.
#include <QLayout>

#include <algorithm>

#include "framework/frame_hints.h"
#include "framework/window_private.h"

namespace fw {

void Window::Private::ApplyFlags() {
    if (layingOut) {
        flagsPending = true;
        return;
    }
    Qt::WindowFlags flags =
        (dialog ? Qt::Dialog : Qt::Window) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton) {
        flags |= Qt::WindowCloseButtonHint;
    }
    if (minimizeButton) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (maximizeButton) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    if (widget->windowFlags() == flags) {
        return;  // setting them again would hide the window and make its native window anew
    }
    const bool wasVisible = widget->isVisible();
    widget->setWindowFlags(flags);
    if (wasVisible) {
        widget->winId();
        PublishFrameHints();
        widget->show();
    }
}

void Window::Private::PublishFrameHints() const {
    fw::PublishFrameHints(*widget,
                          FrameHints({closeButton, minimizeButton, maximizeButton, resizeable}));
}

void Window::Private::ApplySize() {
    if (layingOut) {
        sizePending = true;
        return;
    }
    const int w = std::max(width, 0);
    const int h = std::max(height, 0);
    if (resizeable) {
        widget->layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
        content->setMinimumSize(0, 0);
        content->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        content->resize(w, h);
        widget->resize(widget->sizeHint().expandedTo(QSize(w, h)));
    } else {
        // The window is exactly its content plus the menu bar.
        content->setFixedSize(w, h);
        widget->layout()->setSizeConstraint(QLayout::SetFixedSize);
        widget->adjustSize();
    }
}

std::int32_t Window::Width() const {
    return d_->width;
}

void Window::SetWidth(std::int32_t width) {
    d_->width = width;
    d_->ApplySize();
}

std::int32_t Window::Height() const {
    return d_->height;
}

void Window::SetHeight(std::int32_t height) {
    d_->height = height;
    d_->ApplySize();
}

bool Window::CloseButton() const {
    return d_->closeButton;
}

void Window::SetCloseButton(bool value) {
    d_->closeButton = value;
    d_->ApplyFlags();
}

bool Window::Resizeable() const {
    return d_->resizeable;
}

void Window::SetResizeable(bool value) {
    d_->resizeable = value;
    d_->ApplySize();
}

bool Window::MaximizeButton() const {
    return d_->maximizeButton;
}

void Window::SetMaximizeButton(bool value) {
    d_->maximizeButton = value;
    d_->ApplyFlags();
}

bool Window::MinimizeButton() const {
    return d_->minimizeButton;
}

void Window::SetMinimizeButton(bool value) {
    d_->minimizeButton = value;
    d_->ApplyFlags();
}

}  // namespace fw
