#include "framework/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

#include "framework/exceptions.h"
#include "framework/frame_hints.h"
#include "framework/key_events.h"
#include "framework/menu.h"
#include "framework/menu_view.h"
#include "framework/no_destructor.h"
#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window_private.h"

namespace fw {

namespace {

std::map<String, std::shared_ptr<Window>, std::less<>>& ImplicitWindows() {
    static NoDestructor<std::map<String, std::shared_ptr<Window>, std::less<>>> windows;
    return *windows;
}

// Closed windows wait here until the event that closed them has unwound: a widget must not be
// destroyed inside its own event handler.
std::vector<std::shared_ptr<Window>>& ClosedWindows() {
    static NoDestructor<std::vector<std::shared_ptr<Window>>> windows;
    return *windows;
}

// The placement code that centres a window over the window in front of it.
constexpr std::int32_t kPlacementParentCentred = 4;

// The window in front of another: the active window when it is a different one of ours, else
// the first other window still open.
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

QMargins MarginsBetween(const QRect& outer, const QRect& inner) {
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

// Where a frame lands when moved the least distance that puts it wholly inside an area; a frame
// larger than the area keeps to its top-left corner.
QPoint FittedInto(const QRect& frame, const QRect& area) {
    const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return {x, y};
}

}  // namespace

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

void Window::Private::RebuildMenuBar() {
    if (layingOut) {
        menuBarPending = true;
        return;
    }
    actions.clear();
    if (!menuBar || !menuBarVisible) {
        widget->setMenuWidget(nullptr);
        ApplySize();
        return;
    }
    auto* bar = new QMenuBar(widget.get());  // owned by the window widget
    for (std::size_t i = 0; i < menuBar->Count(); ++i) {
        MenuItem& menuItem = *menuBar->Item(i);
        QMenu* menu = bar->addMenu(FromBytes(menuItem.Text()));
        actions[&menuItem] = menu->menuAction();
        QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { RefreshMenuStates(); });
        AddMenuEntries(*menu, menuItem);
    }
    widget->setMenuBar(bar);
    RefreshMenuStates();
    ApplySize();
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

void Window::Private::AddMenuEntries(QMenu& menu, MenuItem& parent) {
    for (std::size_t i = 0; i < parent.Count(); ++i) {
        MenuItem& item = *parent.Item(i);
        if (item.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        if (item.Count() > 0) {
            QMenu* submenu = menu.addMenu(FromBytes(item.Text()));
            actions[&item] = submenu->menuAction();
            AddMenuEntries(*submenu, item);
            continue;
        }
        QAction* action = menu.addAction(QString());
        ApplyToAction(item, *action);
        item.GetView().actions.emplace_back(action);
        actions[&item] = action;
        Window& owner = widget->Owner();
        const bool quits = item.IsQuitItem();
        const String name = item.Name();
        QObject::connect(action, &QAction::triggered, action, [&owner, quits, name] {
            Dispatch([&owner, quits, &name] {
                if (quits) {
                    owner.Close();
                } else {
                    owner.RunMenuHandler(name);
                }
            });
        });
    }
}

void Window::Private::RefreshMenuStates() {
    if (menuBar) {
        RefreshItemState(*menuBar);
    }
}

bool Window::Private::RefreshItemState(MenuItem& item) {
    bool enabled = false;
    if (item.IsSeparator()) {
        enabled = false;
    } else if (item.Count() > 0) {
        // A menu is enabled while any item in it is.
        for (std::size_t i = 0; i < item.Count(); ++i) {
            enabled = RefreshItemState(*item.Item(i)) || enabled;
        }
    } else {
        enabled = item.IsQuitItem() || menuHandlers.count(item.Name()) > 0;
    }
    if (auto found = actions.find(&item); found != actions.end() && found->second) {
        found->second->setEnabled(enabled);
    }
    return enabled;
}

void Window::Private::Place(std::int32_t placement) {
    if (placement != kPlacementParentCentred) {
        return;
    }
    if (const Private* front = WindowInFront(*this)) {
        const QRect over(front->widget->pos(), front->widget->frameSize());
        const QSize size = widget->frameSize();
        widget->move(over.center() - QPoint(size.width() / 2, size.height() / 2));
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
    std::optional<QPoint> nearest;
    std::int64_t nearestDistance = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QPoint fitted = FittedInto(frame, screen->availableGeometry());
        const QPoint step = fitted - frame.topLeft();
        const std::int64_t distance =
            std::int64_t(step.x()) * step.x() + std::int64_t(step.y()) * step.y();
        if (distance == 0) {
            return;
        }
        if (!nearest || distance < nearestDistance) {
            nearest = fitted;
            nearestDistance = distance;
        }
    }
    if (nearest) {
        widget->move(*nearest);
    }
}

void Window::Private::EndModalShowing() {
    if (modalLoop) {
        modalLoop->quit();
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
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    ImplicitWindows()[String(GetClassInfo().name)] = self;
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
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    auto& windows = ImplicitWindows();
    if (auto found = windows.find(GetClassInfo().name);
        found != windows.end() && found->second == self) {
        windows.erase(found);
    }
    d_->widget->hide();
    d_->EndModalShowing();
    ClosedWindows().push_back(self);
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

void Window::ShowModal() {
    if (d_->closed) {
        return;
    }
    d_->visible = true;
    d_->widget->setWindowModality(Qt::ApplicationModal);
    // Tied to the window it blocks, so that no window manager puts it behind that window.
    d_->ShowNow(WindowInFront(*d_));
    QEventLoop loop;
    d_->modalLoop = &loop;
    if (d_->widget->isVisible()) {
        // Only the program's own Hide or Close ends the loop, or the run's end: a window manager
        // that minimises the window, or unmaps it otherwise, leaves the showing going on, to go
        // on when the window is back.
        loop.exec();
    }
    d_->modalLoop = nullptr;
    if (d_->widget->isVisible()) {
        // The run ended while the window showed: a window left showing would stay modal, and
        // Qt changes no modality of a window while it shows.
        d_->widget->hide();
    }
    d_->widget->setWindowModality(Qt::NonModal);
    // Only Hide ends a showing as asked; the loop also ends when the run does (a quit, an
    // unhandled exception) or when the window closes.
    if (d_->visible || d_->closed) {
        throw ModalShowingEnded();
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

std::shared_ptr<MenuBar> Window::MenuBar() const {
    return d_->menuBar;
}

void Window::SetMenuBar(std::shared_ptr<fw::MenuBar> bar) {
    d_->menuBar = std::move(bar);
    d_->RebuildMenuBar();
}

bool Window::MenuBarVisible() const {
    return d_->menuBarVisible;
}

void Window::SetMenuBarVisible(bool value) {
    d_->menuBarVisible = value;
    d_->RebuildMenuBar();
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

void Window::AddMenuHandler(std::string_view itemName, std::function<bool()> command) {
    d_->menuHandlers[String(itemName)] = std::move(command);
    d_->RefreshMenuStates();
}

bool Window::HasMenuHandler(std::string_view itemName) const {
    return d_->menuHandlers.find(itemName) != d_->menuHandlers.end();
}

bool Window::RunMenuHandler(std::string_view itemName) {
    auto found = d_->menuHandlers.find(itemName);
    if (found == d_->menuHandlers.end()) {
        return false;
    }
    auto command = found->second;
    return command();
}

std::shared_ptr<Window> GetImplicitWindow(std::string_view registeredName) {
    auto& windows = ImplicitWindows();
    auto found = windows.find(registeredName);
    return found == windows.end() ? nullptr : found->second;
}

std::shared_ptr<Window> WindowShowingMenuBar(const std::shared_ptr<fw::MenuBar>& bar) {
    for (const auto& [name, window] : ImplicitWindows()) {
        if (bar != nullptr && window->MenuBar() == bar && window->MenuBarVisible() &&
            !window->IsClosed()) {
            return window;
        }
    }
    return nullptr;
}

void ReleaseAllWindows() {
    ImplicitWindows().clear();
    ClosedWindows().clear();
}

}  // namespace fw
