#include "framework/control.h"

#include <QWidget>

#include "framework/qt_text.h"
#include "framework/window.h"

namespace fw {

Control::Control() = default;
Control::~Control() = default;

const ClassInfo& Control::Class() {
    static const ClassInfo info{"Control",
                                &Object::Class(),
                                {
                                    Property("Name", &Control::SetName),
                                    Property("Index", &Control::SetIndex),
                                    Property("TabPanelIndex", &Control::SetTabPanelIndex),
                                }};
    return info;
}

void Control::InstallEventHandler(std::string_view event, std::function<void(Control&)> handler) {
    handlers_[String(event)] = std::move(handler);
}

bool Control::HasEventHandler(std::string_view event) const {
    return handlers_.find(event) != handlers_.end();
}

bool Control::RaiseEvent(std::string_view event) {
    auto found = handlers_.find(event);
    if (found == handlers_.end()) {
        return false;
    }
    // A copy, so that a handler may rebind the event while it runs.
    auto handler = found->second;
    handler(*this);
    return true;
}

void Control::AttachTo(Window& window, QWidget* /*content*/) {
    owner_ = &window;
}

void InstallInstanceEventHandler(Control& control, std::string_view event,
                                 std::function<void(Control&)> handler) {
    control.InstallEventHandler(event, std::move(handler));
}

RectControl::RectControl(std::unique_ptr<QWidget> widget) : widget_(std::move(widget)) {
    widget_->hide();
}

RectControl::~RectControl() = default;

const ClassInfo& RectControl::Class() {
    static const ClassInfo info{"RectControl",
                                &Control::Class(),
                                {
                                    Property("Left", &RectControl::SetLeft),
                                    Property("Top", &RectControl::SetTop),
                                    Property("Width", &RectControl::SetWidth),
                                    Property("Height", &RectControl::SetHeight),
                                    Property("LockLeft", &RectControl::LockLeft),
                                    Property("LockTop", &RectControl::LockTop),
                                    Property("LockRight", &RectControl::LockRight),
                                    Property("LockBottom", &RectControl::LockBottom),
                                    Property("TabIndex", &RectControl::SetTabIndex),
                                    Property("TabStop", &RectControl::SetTabStop),
                                    Property("InitialParent", &RectControl::InitialParent),
                                    Property("Visible", &RectControl::SetVisible),
                                    Property("HelpTag", &RectControl::SetHelpTag),
                                    Property("AutoDeactivate", &RectControl::AutoDeactivate),
                                    Property("Enabled", &RectControl::SetEnabled),
                                }};
    return info;
}

void RectControl::SetLeft(std::int32_t value) {
    left_ = value;
    ApplyGeometry();
}

void RectControl::SetTop(std::int32_t value) {
    top_ = value;
    ApplyGeometry();
}

void RectControl::SetWidth(std::int32_t value) {
    width_ = value;
    ApplyGeometry();
}

void RectControl::SetHeight(std::int32_t value) {
    height_ = value;
    ApplyGeometry();
}

void RectControl::SetVisible(bool value) {
    visible_ = value;
    if (Owner() != nullptr) {
        widget_->setVisible(value);
    }
}

void RectControl::SetEnabled(bool value) {
    enabled_ = value;
    widget_->setEnabled(value);
}

void RectControl::SetHelpTag(const String& value) {
    helpTag_ = value;
    widget_->setToolTip(FromBytes(value));
}

void RectControl::AttachTo(Window& window, QWidget* content) {
    Control::AttachTo(window, content);
    widget_->setParent(content);
    ApplyGeometry();
    widget_->setVisible(visible_);
}

void RectControl::ApplyGeometry() {
    // Qt takes no negative size; the stored value still reads back as set.
    widget_->setGeometry(left_, top_, std::max(width_, 0), std::max(height_, 0));
}

}  // namespace fw
