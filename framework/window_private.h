// Framework-internal: the Qt side of a window.
#pragma once

#include <QMainWindow>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "framework/window.h"

class QEventLoop;
class QMenu;

namespace fw {

class MenuItem;

// The top-level widget: a menu bar above a content area of fixed size.
class WindowWidget : public QMainWindow {
public:
    explicit WindowWidget(Window& owner);
    Window& Owner() const { return owner_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Window& owner_;
};

struct Window::Private {
    explicit Private(Window& owner);

    void ApplyFlags();
    // Asks the window manager for the frame the window's buttons and size say.
    void PublishFrameHints() const;
    void ApplySize();
    void RebuildMenuBar();
    // Applies what Layout asked for while its effects waited.
    void FinishLayout();
    void AddMenuEntries(QMenu& menu, MenuItem& parent);
    void RefreshMenuStates();
    bool RefreshItemState(MenuItem& item);
    // Shows the window, wholly on a screen, and raises its Activate when it was not showing.
    // Shown over another window, it is that window's dialog: the window manager keeps it above.
    void ShowNow(const Private* over = nullptr);
    void KeepOnScreen();
    // Ends the modal showing, if one runs: the program hid or closed the window.
    void EndModalShowing();
    QMargins FrameMargins() const;
    void Place(std::int32_t placement);

    std::unique_ptr<WindowWidget> widget;
    QWidget* content = nullptr;
    String title;
    std::int32_t width = 100;
    std::int32_t height = 100;
    bool visible = true;
    bool building = false;
    // While Layout runs, the menu bar, size and flags are only marked to be applied after it.
    bool layingOut = false;
    bool menuBarPending = false;
    bool sizePending = false;
    bool flagsPending = false;
    bool closed = false;
    bool shownOnce = false;
    bool menuBarVisible = true;
    bool closeButton = true;
    bool resizeable = true;
    bool maximizeButton = true;
    bool minimizeButton = true;
    bool dialog = false;  // shown modally at least once: a dialog of the window it was shown over
    std::shared_ptr<fw::MenuBar> menuBar;
    std::map<String, std::function<bool()>, std::less<>> menuHandlers;
    std::map<const MenuItem*, QPointer<QAction>> actions;
    QPointer<QEventLoop> modalLoop;
    bool modalShowingEndedByHide = false;
};

// The window in front of another: the active window when it is a different one of ours, else
// the first other window still open; nullptr when there is none.
const Window::Private* WindowInFront(const Window::Private& self);

// The window a widget belongs to, or nullptr.
Window* WindowOf(QWidget* widget);

}  // namespace fw
