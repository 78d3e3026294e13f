// A window's menu bar, built from its MenuBar's items, the enabling of those items, and the
// commands bound to item names.
#include <QMenu>
#include <QMenuBar>

#include <utility>

#include "framework/menu.h"
#include "framework/menu_view.h"
#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/window_private.h"
#include "framework/window_registry.h"

namespace fw {

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

std::shared_ptr<Window> WindowShowingMenuBar(const std::shared_ptr<fw::MenuBar>& bar) {
    for (const auto& [name, window] : ImplicitWindows()) {
        if (bar != nullptr && window->MenuBar() == bar && window->MenuBarVisible() &&
            !window->IsClosed()) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace fw
