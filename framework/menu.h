// Menu items and menu bars: a tree of named items that a window shows as its menu bar.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "framework/object.h"

namespace fw {

class MenuItem : public Object {
public:
    MenuItem();
    ~MenuItem() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // MenuItem.Constructor without arguments: an empty item, ready to take children.
    void Constructor() {}

    const String& Name() const { return name_; }
    void SetName(const String& name) { name_ = name; }
    // "&" marks the mnemonic letter that follows it; "-" is a separator line.
    const String& Text() const { return text_; }
    void SetText(const String& text);
    // "Cmd+Q" and the like; Cmd stands for the platform's command key (Ctrl here).
    const String& KeyboardShortcut() const { return shortcut_; }
    void SetKeyboardShortcut(const String& shortcut);
    bool AutoEnable() const { return autoEnable_; }
    void SetAutoEnable(bool value) { autoEnable_ = value; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value);

    void Append(std::shared_ptr<MenuItem> item);
    std::size_t Count() const { return children_.size(); }
    MenuItem* Item(std::size_t position) const;
    // The direct child of that name, or nullptr.
    MenuItem* Child(std::string_view name) const;
    // The item of that name anywhere below this one, or nullptr.
    MenuItem* Lookup(std::string_view name);

    bool IsSeparator() const { return text_ == "-"; }
    virtual bool IsQuitItem() const { return false; }

    // Called whenever the text, shortcut or check mark changes (framework use only).
    struct View;
    View& GetView() const { return *view_; }

private:
    String name_;
    String text_;
    String shortcut_;
    bool autoEnable_ = false;
    bool checked_ = false;
    std::vector<std::shared_ptr<MenuItem>> children_;
    std::unique_ptr<View> view_;
};

// Choosing it quits: it closes the window whose menu bar holds it, so that its Close event runs.
class QuitMenuItem : public MenuItem {
public:
    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }
    bool IsQuitItem() const override { return true; }
};

// The root of a menu tree: its children are the menus.
class MenuBar : public MenuItem {
public:
    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }
};

}  // namespace fw
