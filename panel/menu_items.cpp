// The main window's menu items, each found by its name anywhere in the window's menu bar.
#include "framework/exceptions.h"
#include "framework/menu.h"
#include "panel/zq8.h"

namespace {

fw::MenuItem* FindItem(const zq8& window, std::string_view name) {
    return fw::Require(window.MenuBar().get(), "menu bar").Lookup(name);
}

}  // namespace

fw::MenuItem* zq8::ViewMenu() const {
    return FindItem(*this, "ViewMenu");
}
fw::MenuItem* zq8::Optionsviewcmds() const {
    return FindItem(*this, "Optionsviewcmds");
}
fw::MenuItem* zq8::OptionsProtocol() const {
    return FindItem(*this, "OptionsProtocol");
}
fw::MenuItem* zq8::ProtocolPhillipsRC6() const {
    return FindItem(*this, "ProtocolPhillipsRC6");
}
fw::MenuItem* zq8::ProtocolSonySirc() const {
    return FindItem(*this, "ProtocolSonySirc");
}
fw::MenuItem* zq8::remdisable() const {
    return FindItem(*this, "remdisable");
}
fw::MenuItem* zq8::remenable() const {
    return FindItem(*this, "remenable");
}
fw::MenuItem* zq8::ViewSelectPort() const {
    return FindItem(*this, "ViewSelectPort");
}
fw::MenuItem* zq8::EditMenu() const {
    return FindItem(*this, "EditMenu");
}
fw::MenuItem* zq8::EditSelectAll() const {
    return FindItem(*this, "EditSelectAll");
}
fw::MenuItem* zq8::UntitledMenu0() const {
    return FindItem(*this, "UntitledMenu0");
}
fw::MenuItem* zq8::EditClear() const {
    return FindItem(*this, "EditClear");
}
fw::MenuItem* zq8::EditPaste() const {
    return FindItem(*this, "EditPaste");
}
fw::MenuItem* zq8::EditCopy() const {
    return FindItem(*this, "EditCopy");
}
fw::MenuItem* zq8::EditCut() const {
    return FindItem(*this, "EditCut");
}
fw::MenuItem* zq8::UntitledMenu1() const {
    return FindItem(*this, "UntitledMenu1");
}
fw::MenuItem* zq8::EditUndo() const {
    return FindItem(*this, "EditUndo");
}
fw::MenuItem* zq8::FileMenu() const {
    return FindItem(*this, "FileMenu");
}

fw::QuitMenuItem* zq8::FileQuit() const {
    return dynamic_cast<fw::QuitMenuItem*>(FindItem(*this, "FileQuit"));
}
