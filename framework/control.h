// Controls: objects registered with a window under a name and an index, raising events by name.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "framework/object.h"

class QWidget;

namespace fw {

class Window;

// The index of a control that belongs to no control array.
inline constexpr std::int32_t kNoIndex = INT32_MIN;

class Control : public Object {
public:
    Control();
    ~Control() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    const String& Name() const { return name_; }
    void SetName(const String& name) { name_ = name; }
    std::int32_t Index() const { return index_; }
    void SetIndex(std::int32_t index) { index_ = index; }
    std::int32_t TabPanelIndex() const { return tabPanelIndex_; }
    void SetTabPanelIndex(std::int32_t index) { tabPanelIndex_ = index; }

    // The window that holds the control; nullptr until it is added to one.
    Window* Owner() const { return owner_; }

    // Binds an event, by its name, to a handler that is handed the control that raised it.
    void InstallEventHandler(std::string_view event, std::function<void(Control&)> handler);
    bool HasEventHandler(std::string_view event) const;
    // Runs the handler bound to the event; false when none is bound. Exceptions pass through to
    // the dispatch point that delivered the event.
    bool RaiseEvent(std::string_view event);

    // Called by the window when the control is added to it.
    virtual void AttachTo(Window& window, QWidget* content);
    // The control's own Open event, raised once its window has created all its controls.
    virtual void RaiseOpen() {}

private:
    String name_;
    std::int32_t index_ = kNoIndex;
    std::int32_t tabPanelIndex_ = 0;
    Window* owner_ = nullptr;
    std::map<String, std::function<void(Control&)>, std::less<>> handlers_;
};

// Binds `event` of `control` to a method of its window: the handler receives the control, cast
// to the class the method expects.
void InstallInstanceEventHandler(Control& control, std::string_view event,
                                 std::function<void(Control&)> handler);

template <class W, class C>
std::function<void(Control&)> WindowMethod(W* window, void (W::*method)(C&)) {
    return [window, method](Control& sender) { (window->*method)(dynamic_cast<C&>(sender)); };
}

// A control with a place on the window: position, size, visibility, and a widget that shows it.
class RectControl : public Control {
public:
    ~RectControl() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // The framework's default construction of a control.
    void Constructor() {}

    std::int32_t Left() const { return left_; }
    void SetLeft(std::int32_t value);
    std::int32_t Top() const { return top_; }
    void SetTop(std::int32_t value);
    std::int32_t Width() const { return width_; }
    void SetWidth(std::int32_t value);
    std::int32_t Height() const { return height_; }
    void SetHeight(std::int32_t value);
    bool Visible() const { return visible_; }
    void SetVisible(bool value);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    std::int32_t TabIndex() const { return tabIndex_; }
    void SetTabIndex(std::int32_t value) { tabIndex_ = value; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value) { tabStop_ = value; }
    const String& HelpTag() const { return helpTag_; }
    void SetHelpTag(const String& value);
    bool LockLeft = false;
    bool LockTop = false;
    bool LockRight = false;
    bool LockBottom = false;
    bool AutoDeactivate = true;
    String InitialParent;

    void AttachTo(Window& window, QWidget* content) override;

    // The widget that shows the control (framework use only).
    QWidget* Widget() const { return widget_.get(); }

protected:
    explicit RectControl(std::unique_ptr<QWidget> widget);

private:
    void ApplyGeometry();

    std::unique_ptr<QWidget> widget_;
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    std::int32_t tabIndex_ = 0;
    bool tabStop_ = true;
    String helpTag_;
};

}  // namespace fw
