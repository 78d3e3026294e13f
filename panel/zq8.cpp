#include "panel/zq8.h"

#include "framework/exceptions.h"
#include "framework/menu.h"
#include "framework/property_list.h"
#include "panel/main_window_properties.h"
#include "panel/menubar1.h"

const fw::ClassInfo& zq8::Class() {
    static const fw::ClassInfo info{"zq8.zq8", &fw::Window::Class(), {}};
    return info;
}

std::shared_ptr<zq8> zq8::zq8_() {
    return fw::ImplicitInstance<zq8>();
}

void zq8::Layout() {
    SetMenuBar(MenuBar1::MenuBar1_());
    fw::SetProperties(this, MainWindowProperties());
}
