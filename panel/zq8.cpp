#include "panel/zq8.h"

#include "framework/exceptions.h"
#include "framework/menu.h"
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
    // The design-time values.
    Placement = 0;
    SetWidth(260);
    SetHeight(474);
    MinWidth = 64;
    MinHeight = 64;
    MaxWidth = 32000;
    MaxHeight = 32000;
    Frame = 0;
    Composite = false;
    HasBackColor = false;
    BackColor = fw::RGB(255, 255, 255);
    SetTitle("ZQ8");
    SetVisible(true);
    FullScreen = false;
    SetMenuBarVisible(true);
    SetCloseButton(true);
    SetResizeable(false);
    LiveResize = true;
    SetMaximizeButton(false);
    SetMinimizeButton(true);
    MacProcId = 0;
}
