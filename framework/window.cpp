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

#include <algorithm>
#include <map>
#include <utility>

#include "framework/exceptions.h"
#include "framework/key_events.h"
#include "framework/menu.h"
#include "framework/menu_view.h"
#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window_private.h"

namespace fw {

namespace {

std::map<String, std::shared_ptr<Window>, std::less<>>& ImplicitWindows() {
    static std::map<String, std::shared_ptr<Window>, std::less<>> windows;
    return windows;
}

// Closed windows wait here until the event that closed them has unwound: a widget must not be
// destroyed inside its own event handler.
std::vector<std::shared_ptr<Window>>& ClosedWindows() {
    static std::vector<std::shared_ptr<Window>> windows;
    return windows;
}

// The placement code that centres a window over the window in front of it.
constexpr std::int32_t kPlacementParentCentred = 4;

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

void WindowWidget::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !owner_.IsClosed()) {
        Dispatch([this] { owner_.Event_Activate(); });
    }
}

void WindowWidget::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (Window::Private& d = owner_.GetPrivate(); d.modalLoop) {
        d.modalLoop->quit();
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
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton) {
        flags |= Qt::WindowCloseButtonHint;
    }
    if (minimizeButton) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if (maximizeButton) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    const bool wasVisible = widget->isVisible();
    widget->setWindowFlags(flags);
    if (wasVisible) {
        widget->show();
    }
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
    // Centred over the window in front of it: the first other window still open.
    for (const auto& [name, window] : ImplicitWindows()) {
        if (&window->GetPrivate() == this || window->IsClosed()) {
            continue;
        }
        const QRect over(window->GetPrivate().widget->pos(),
                         window->GetPrivate().widget->frameSize());
        const QSize size = widget->frameSize();
        placedPosition = over.center() - QPoint(size.width() / 2, size.height() / 2);
        placed = true;
        widget->move(placedPosition);
        return;
    }
}

void Window::Private::ShowNow() {
    if (closed) {
        return;
    }
    // A stored position off every screen (a monitor since removed) would hide the window: it
    // keeps the position it was placed at instead.
    const QRect frame(widget->pos(), widget->frameSize());
    bool onScreen = false;
    for (QScreen* screen : QGuiApplication::screens()) {
        onScreen = onScreen || screen->availableGeometry().intersects(frame);
    }
    if (!onScreen && placed) {
        widget->move(placedPosition);
    }
    shownOnce = true;
    widget->show();
    widget->raise();
    widget->activateWindow();
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
                d_->ShowNow();
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
    ClosedWindows().push_back(self);
}

bool Window::IsClosed() const {
    return d_->closed;
}

void Window::Hide() {
    d_->visible = false;
    d_->widget->hide();
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
    d_->ShowNow();
    QEventLoop loop;
    d_->modalLoop = &loop;
    if (d_->widget->isVisible()) {
        loop.exec();
    }
    d_->modalLoop = nullptr;
    d_->widget->setWindowModality(Qt::NonModal);
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

void ReleaseAllWindows() {
    ImplicitWindows().clear();
    ClosedWindows().clear();
}

}  // namespace fw
