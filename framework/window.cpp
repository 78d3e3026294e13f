// A window: its building, its showing and hiding, its Close, its title and position, and its
// controls.
#include "framework/window.h"

#include <QCloseEvent>
#include <QTimer>
#include <QWindow>

#include <utility>
#include <vector>

#include "framework/display_keyboard.h"
#include "framework/key_events.h"
#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window_private.h"
#include "framework/window_registry.h"

namespace fw {

WindowWidget::WindowWidget(Window& owner) : owner_(owner) {}

void WindowWidget::closeEvent(QCloseEvent* event) {
    // The window closes through its own Close, so that its Close event runs; a window without a
    // close box ignores the window manager's request, as there is nothing to close it with.
    event->ignore();
    if (owner_.CloseButton() && !owner_.IsClosed()) {
        Dispatch([this] { owner_.Close(); });
    }
}

Window* WindowOf(QWidget* widget) {
    for (QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* top = dynamic_cast<WindowWidget*>(w)) {
            return &top->Owner();
        }
    }
    return nullptr;
}

Window::Private::Private(Window& owner) : widget(std::make_unique<WindowWidget>(owner)) {
    content = new QWidget(widget.get());  // owned by its parent widget
    widget->setCentralWidget(content);
    widget->setAttribute(Qt::WA_DeleteOnClose, false);
    ApplySize();
    ApplyFlags();
}

void Window::Private::FinishLayout() {
    layingOut = false;
    if (std::exchange(flagsPending, false)) {
        ApplyFlags();
    }
    const bool sized = std::exchange(sizePending, false);
    if (std::exchange(menuBarPending, false)) {
        RebuildMenuBar();  // sizes the window too
    } else if (sized) {
        ApplySize();
    }
}

void Window::Private::ShowNow(const Private* over) {
    if (closed) {
        return;
    }
    if (over != nullptr) {
        dialog = true;
        ApplyFlags();
    }
    // Before its native window is made: until then a position set is its frame's, as stored.
    KeepOnScreen();
    widget->winId();
    if (over != nullptr) {
        widget->windowHandle()->setTransientParent(over->widget->windowHandle());
    }
    // Before the window manager first frames the window, which it does as the hints say.
    PublishFrameHints();
    AskForKeysAtFocus(*widget);
    const bool showing = !widget->isVisible();
    shownOnce = true;
    widget->show();
    widget->raise();
    widget->activateWindow();
    if (showing) {
        // Each showing, not each return of the focus: a glance at another window keeps what the
        // user chose in this one.
        widget->Owner().Event_Activate();
    }
}

Window::Window() : d_(std::make_unique<Private>(*this)) {
    InstallKeyDownFilter();
}

Window::~Window() {
    controls_.clear();
    owned_.clear();
}

const ClassInfo& Window::Class() {
    static const ClassInfo info{"Window",
                                &Object::Class(),
                                {
                                    Property("Placement", &Window::Placement),
                                    Property("Width", &Window::SetWidth),
                                    Property("Height", &Window::SetHeight),
                                    Property("MinWidth", &Window::MinWidth),
                                    Property("MinHeight", &Window::MinHeight),
                                    Property("MaxWidth", &Window::MaxWidth),
                                    Property("MaxHeight", &Window::MaxHeight),
                                    Property("Frame", &Window::Frame),
                                    Property("Composite", &Window::Composite),
                                    Property("HasBackColor", &Window::HasBackColor),
                                    Property("BackColor", &Window::BackColor),
                                    Property("Title", &Window::SetTitle),
                                    Property("Visible", &Window::SetVisible),
                                    Property("FullScreen", &Window::FullScreen),
                                    Property("MenuBarVisible", &Window::SetMenuBarVisible),
                                    Property("CloseButton", &Window::SetCloseButton),
                                    Property("Resizeable", &Window::SetResizeable),
                                    Property("LiveResize", &Window::LiveResize),
                                    Property("MaximizeButton", &Window::SetMaximizeButton),
                                    Property("MinimizeButton", &Window::SetMinimizeButton),
                                    Property("MacProcId", &Window::MacProcId),
                                }};
    return info;
}

void Window::Constructor() {
    RegisterImplicitWindow(std::static_pointer_cast<Window>(shared_from_this()));
    d_->building = true;
    {
        // The design-time values are set one by one; the menu bar is built and the window
        // sized once, when all of them are in.
        d_->layingOut = true;
        struct LaidOut {
            Private& d;
            ~LaidOut() { d.FinishLayout(); }
        } laidOut{*d_};
        Layout();
    }
    d_->Place(Placement);
    CreateControls();
    AddMenuHandlers(*this);
    d_->RefreshMenuStates();
    for (Control* control : std::vector<Control*>(controls_)) {
        control->RaiseOpen();
    }
    Event_Open();
    d_->building = false;
    if (d_->visible && !d_->closed) {
        // Shown once the start-up work has run; a window closed before that never shows.
        QTimer::singleShot(0, d_->widget.get(), [this] {
            if (d_->visible && !d_->shownOnce && !d_->widget->isVisible()) {
                Dispatch([this] { d_->ShowNow(); });
            }
        });
    }
}

void Window::Close() {
    if (d_->closed) {
        return;
    }
    Event_Close();
    d_->closed = true;
    RetireImplicitWindow(std::static_pointer_cast<Window>(shared_from_this()));
    d_->widget->hide();
    d_->EndModalShowing();
}

bool Window::IsClosed() const {
    return d_->closed;
}

void Window::Hide() {
    d_->visible = false;
    d_->widget->hide();
    d_->EndModalShowing();
}

void Window::Show() {
    d_->visible = true;
    if (!d_->building) {
        d_->ShowNow();
    }
}

const String& Window::Title() const {
    return d_->title;
}

void Window::SetTitle(const String& title) {
    d_->title = title;
    d_->widget->setWindowTitle(FromBytes(title));
}

std::int32_t Window::Left() const {
    return d_->widget->pos().x();
}

void Window::SetLeft(std::int32_t left) {
    d_->widget->move(left, d_->widget->pos().y());
}

std::int32_t Window::Top() const {
    return d_->widget->pos().y();
}

void Window::SetTop(std::int32_t top) {
    d_->widget->move(d_->widget->pos().x(), top);
}

bool Window::Visible() const {
    return d_->visible;
}

void Window::SetVisible(bool visible) {
    if (!visible) {
        Hide();
        return;
    }
    Show();
}

void Window::AddControl(const String& name, Control& control) {
    control.SetName(name);
    controls_.push_back(&control);
    control.AttachTo(*this, d_->content);
}

Control* Window::ControlByName(std::string_view name) const {
    for (Control* control : controls_) {
        if (control->Name() == name) {
            return control;
        }
    }
    return nullptr;
}

Control* Window::ControlByNameIndex(std::string_view name, std::int32_t index) const {
    for (Control* control : controls_) {
        if (control->Name() == name && control->Index() == index) {
            return control;
        }
    }
    return nullptr;
}

}  // namespace fw
