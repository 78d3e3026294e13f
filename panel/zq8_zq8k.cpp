#include "panel/zq8_zq8k.h"

#include "framework/property_list.h"
#include "panel/keypad_key_properties.h"
#include "panel/main_window_of.h"

const fw::ClassInfo& zq8::ZQ8k_::Class() {
    static const fw::ClassInfo info{"zq8.ZQ8k", &cbbevil::Class(), {}};
    return info;
}

void zq8::ZQ8k_::Constructor(std::int32_t index) {
    SetIndex(index);
    RectControl::Constructor();
}

void zq8::ZQ8k_::Constructor() {
    zq8& window = LiveMainWindow();
    fw::SetProperties(this, KeypadKeyProperties(17));
    fw::InstallInstanceEventHandler(*this, "Action", fw::WindowMethod(&window, &zq8::ZQ8k_Action));
    SetIndex(0);
    window.AddControl("ZQ8k", *this);
    RectControl::Constructor();
}
