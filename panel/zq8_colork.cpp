#include "panel/zq8_colork.h"

#include "framework/property_list.h"
#include "panel/colour_key_properties.h"
#include "panel/main_window_of.h"

const fw::ClassInfo& zq8::colork_::Class() {
    static const fw::ClassInfo info{"zq8.colork", &cbkey2::Class(), {}};
    return info;
}

void zq8::colork_::Constructor(std::int32_t index) {
    SetIndex(index);
    RectControl::Constructor();
}

void zq8::colork_::Constructor() {
    zq8& window = LiveMainWindow();
    fw::SetProperties(this, ColourKeyProperties(103));
    fw::InstallInstanceEventHandler(*this, "Action",
                                    fw::WindowMethod(&window, &zq8::colork_Action));
    SetIndex(0);
    window.AddControl("colork", *this);
    RectControl::Constructor();
}
