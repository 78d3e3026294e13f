// Windows: built by raising Layout, CreateControls, AddMenuHandlers and Open; registered as their
// class's implicit instance from before Open until their Close has run; owners of their controls.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "framework/control.h"
#include "framework/object.h"

namespace fw {

class MenuBar;

class Window : public Object {
public:
    Window();
    ~Window() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // Builds the window: registers it as its class's implicit instance, raises Layout,
    // CreateControls, AddMenuHandlers and Open in this order, then shows it when Visible.
    void Constructor();

    // The window's events; a subclass overrides those it handles.
    virtual void Layout() {}
    virtual void CreateControls() {}
    virtual void AddMenuHandlers(Window& /*window*/) {}
    virtual void Event_Open() {}
    virtual void Event_Close() {}
    // Raised each time the window is shown, not when the focus comes back to it.
    virtual void Event_Activate() {}
    // Raised for each key typed while the window is active, before the focused control sees it.
    virtual bool Event_KeyDown(const String& /*key*/) { return false; }

    // Raises Close, then drops the window.
    void Close();
    void Hide();
    void Show();
    // Shows the window modally, as a dialog of the window in front of it, which the window manager
    // keeps it above; returns once the program hides it with Hide. The rest of the application
    // waits. A window manager's minimise does not end the showing: restored, the window goes on.
    // The showing also ends, without a choice, when the run ends or the window closes. Once it
    // has returned, the window is modal no more. A window shows wholly on a screen: a position
    // that would put it partly off them moves it the least distance that puts it on the nearest
    // one.
    void ShowModal();
    // True when the last ShowModal ended as asked, by the window's Hide; false when the run's end
    // or a Close ended it, and a command waiting on the choice has nothing to go on.
    bool ModalShowingEndedByHide() const;
    bool IsClosed() const;

    const String& Title() const;
    void SetTitle(const String& title);
    std::int32_t Left() const;
    void SetLeft(std::int32_t left);
    std::int32_t Top() const;
    void SetTop(std::int32_t top);
    // The content area below the menu bar, where controls stand in window coordinates.
    std::int32_t Width() const;
    void SetWidth(std::int32_t width);
    std::int32_t Height() const;
    void SetHeight(std::int32_t height);
    bool Visible() const;
    void SetVisible(bool visible);
    std::shared_ptr<fw::MenuBar> MenuBar() const;
    void SetMenuBar(std::shared_ptr<fw::MenuBar> bar);

    // Design-time values with no other effect than being kept.
    std::int32_t Placement = 0;
    std::int32_t MinWidth = 64;
    std::int32_t MinHeight = 64;
    std::int32_t MaxWidth = 32000;
    std::int32_t MaxHeight = 32000;
    std::int32_t Frame = 0;
    bool Composite = false;
    bool HasBackColor = false;
    Color BackColor{255, 255, 255};
    bool FullScreen = false;
    bool LiveResize = true;
    std::int32_t MacProcId = 0;
    bool MenuBarVisible() const;
    void SetMenuBarVisible(bool value);
    bool CloseButton() const;
    void SetCloseButton(bool value);
    bool Resizeable() const;
    void SetResizeable(bool value);
    bool MaximizeButton() const;
    void SetMaximizeButton(bool value);
    bool MinimizeButton() const;
    void SetMinimizeButton(bool value);

    // Window.__New: a new control of class T, owned by the window for its whole life.
    template <class T>
    T& New() {
        auto control = std::make_unique<T>();
        T& result = *control;
        owned_.push_back(std::move(control));
        return result;
    }
    // Registers a control under a name; from then on the window finds it by name and index.
    void AddControl(const String& name, Control& control);
    Control* ControlByName(std::string_view name) const;
    Control* ControlByNameIndex(std::string_view name, std::int32_t index) const;
    // The registered controls, in the order they were added.
    const std::vector<Control*>& Controls() const { return controls_; }

    // Binds a menu command to a menu item's name; the command returns true when it handled it.
    void AddMenuHandler(std::string_view itemName, std::function<bool()> command);
    bool HasMenuHandler(std::string_view itemName) const;
    // Runs the command bound to an item name; false when none is.
    bool RunMenuHandler(std::string_view itemName);

    struct Private;
    Private& GetPrivate() const { return *d_; }

private:
    std::unique_ptr<Private> d_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::vector<Control*> controls_;
};

// The live implicit instance registered under a class's name, or nullptr.
std::shared_ptr<Window> GetImplicitWindow(std::string_view registeredName);

// The implicit-instance accessor: the live window of class W, or a new one, built and opened.
template <class W>
std::shared_ptr<W> ImplicitInstance() {
    if (auto existing = GetImplicitWindow(W::Class().name)) {
        return std::dynamic_pointer_cast<W>(existing);
    }
    auto window = std::make_shared<W>();
    window->Constructor();
    return window;
}

// The open implicit window that shows this menu bar, or nullptr.
std::shared_ptr<Window> WindowShowingMenuBar(const std::shared_ptr<fw::MenuBar>& bar);

// Drops every window (shut-down and tests).
void ReleaseAllWindows();

}  // namespace fw
