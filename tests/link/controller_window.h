// The main window as the link methods need it: a Serialc with the controller's line settings and
// a Listbox1, added by name when the window does not build them itself.
#pragma once

#include <memory>

#include "framework/listbox.h"
#include "framework/property_list.h"
#include "framework/serial.h"
#include "link/serialc_properties.h"
#include "panel/zq8.h"

namespace zq8test {

inline std::shared_ptr<zq8> MainWindowWithLinkControls() {
    std::shared_ptr<zq8> window = zq8::zq8_();
    if (window->ControlByName("Serialc") == nullptr) {
        fw::Serial& serialc = window->New<fw::Serial>();
        fw::SetProperties(&serialc, SerialcProperties());
        window->AddControl("Serialc", serialc);
    }
    if (window->ControlByName("Listbox1") == nullptr) {
        window->AddControl("Listbox1", window->New<fw::Listbox>());
    }
    return window;
}

inline fw::Listbox& CommandLog(const zq8& window) {
    return dynamic_cast<fw::Listbox&>(*window.ControlByName("Listbox1"));
}

}  // namespace zq8test
