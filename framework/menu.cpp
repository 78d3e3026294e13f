#include "framework/menu.h"

#include <QKeySequence>

#include "framework/menu_view.h"
#include "framework/qt_text.h"

namespace fw {

namespace {

template <class F>
void ForEachAction(const MenuItem& item, F&& apply) {
    for (const QPointer<QAction>& action : item.GetView().actions) {
        if (action) {
            apply(*action);
        }
    }
}

}  // namespace

QString ShortcutText(const String& shortcut) {
    QString text = FromBytes(shortcut);
    text.replace("Cmd+", "Ctrl+", Qt::CaseInsensitive);
    return text;
}

void ApplyToAction(const MenuItem& item, QAction& action) {
    action.setText(FromBytes(item.Text()));
    action.setShortcut(QKeySequence(ShortcutText(item.KeyboardShortcut())));
    // Only a checked item shows the check mark's place, so a fresh menu shows none.
    action.setCheckable(item.Checked());
    action.setChecked(item.Checked());
}

MenuItem::MenuItem() : view_(std::make_unique<View>()) {}
MenuItem::~MenuItem() = default;

const ClassInfo& MenuItem::Class() {
    static const ClassInfo info{"MenuItem", &Object::Class(), {}};
    return info;
}

const ClassInfo& QuitMenuItem::Class() {
    static const ClassInfo info{"QuitMenuItem", &MenuItem::Class(), {}};
    return info;
}

const ClassInfo& MenuBar::Class() {
    static const ClassInfo info{"MenuBar", &MenuItem::Class(), {}};
    return info;
}

void MenuItem::SetText(const String& text) {
    text_ = text;
    ForEachAction(*this, [this](QAction& action) { ApplyToAction(*this, action); });
}

void MenuItem::SetKeyboardShortcut(const String& shortcut) {
    shortcut_ = shortcut;
    ForEachAction(*this, [this](QAction& action) { ApplyToAction(*this, action); });
}

void MenuItem::SetChecked(bool value) {
    checked_ = value;
    ForEachAction(*this, [this](QAction& action) { ApplyToAction(*this, action); });
}

void MenuItem::Append(std::shared_ptr<MenuItem> item) {
    children_.push_back(std::move(item));
}

MenuItem* MenuItem::Item(std::size_t position) const {
    return position < children_.size() ? children_[position].get() : nullptr;
}

MenuItem* MenuItem::Child(std::string_view name) const {
    for (const auto& child : children_) {
        if (child->Name() == name) {
            return child.get();
        }
    }
    return nullptr;
}

MenuItem* MenuItem::Lookup(std::string_view name) {
    if (name_ == name) {
        return this;
    }
    for (const auto& child : children_) {
        if (MenuItem* found = child->Lookup(name)) {
            return found;
        }
    }
    return nullptr;
}

}  // namespace fw
