#include "panel/menubar1.h"

#include "framework/exceptions.h"

std::shared_ptr<MenuBar1> MenuBar1::_implicitInstance;

namespace {

struct ItemSpec {
    const char* name;
    const char* text;
    const char* shortcut;  // nullptr: the item gets none set at all
};

template <class Item = fw::MenuItem>
std::shared_ptr<fw::MenuItem> MakeItem(const ItemSpec& spec) {
    auto item = std::make_shared<Item>();
    item->Constructor();
    item->SetName(spec.name);
    item->SetAutoEnable(true);
    item->SetText(spec.text);
    if (spec.shortcut != nullptr) {
        item->SetKeyboardShortcut(spec.shortcut);
    }
    return item;
}

fw::MenuItem& ChildOf(fw::MenuItem& parent, const char* name) {
    return fw::Require(parent.Child(name), name);
}

}  // namespace

const fw::ClassInfo& MenuBar1::Class() {
    static const fw::ClassInfo info{"MenuBar1.MenuBar1", &fw::MenuBar::Class(), {}};
    return info;
}

std::shared_ptr<MenuBar1> MenuBar1::MenuBar1_() {
    if (!_implicitInstance) {
        auto bar = std::make_shared<MenuBar1>();
        bar->Constructor();
        _implicitInstance = bar;
    }
    return _implicitInstance;
}

void MenuBar1::ReleaseImplicitInstance() {
    _implicitInstance.reset();
}

void MenuBar1::Constructor() {
    Untitled0();
    Untitled1();
    Untitled2();
}

void MenuBar1::Untitled0() {
    Append(MakeItem({"FileMenu", "&File", ""}));
    ChildOf(*this, "FileMenu").Append(MakeItem<fw::QuitMenuItem>({"FileQuit", "&Quit", "Cmd+Q"}));
}

void MenuBar1::Untitled1() {
    Append(MakeItem({"EditMenu", "&Edit", ""}));
    const ItemSpec items[] = {
        {"EditUndo", "&Undo", "Cmd+Z"},   {"UntitledMenu1", "-", nullptr},
        {"EditCut", "Cu&t", "Cmd+X"},     {"EditCopy", "&Copy", "Cmd+C"},
        {"EditPaste", "&Paste", "Cmd+V"}, {"EditClear", "&Delete", ""},
        {"UntitledMenu0", "-", nullptr},  {"EditSelectAll", "Select &All", "Cmd+A"},
    };
    for (const ItemSpec& item : items) {
        ChildOf(*this, "EditMenu").Append(MakeItem(item));
    }
}

void MenuBar1::Untitled2() {
    Append(MakeItem({"ViewMenu", "Options", ""}));
    const ItemSpec items[] = {
        {"ViewSelectPort", "Select Port", ""},
        {"remenable", "Enable remote", ""},
        {"remdisable", "Disable remote", ""},
        {"OptionsProtocol", "Protocol", nullptr},
    };
    for (const ItemSpec& item : items) {
        ChildOf(*this, "ViewMenu").Append(MakeItem(item));
    }
    const ItemSpec protocols[] = {
        {"ProtocolSonySirc", "Sony Sirc", ""},
        {"ProtocolPhillipsRC6", "Phillips RC6", ""},
    };
    for (const ItemSpec& item : protocols) {
        ChildOf(ChildOf(*this, "ViewMenu"), "OptionsProtocol").Append(MakeItem(item));
    }
    ChildOf(*this, "ViewMenu").Append(MakeItem({"Optionsviewcmds", "viewcmds", ""}));
}
