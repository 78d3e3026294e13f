// The main window as the link methods need it: a Serialc with the controller's line settings and
// a Listbox1, added by name when the window does not build them itself.
#pragma once

#include <memory>

#include "framework/listbox.h"
#include "framework/property_list.h"
#include "framework/serial.h"
#include "link/serialc_properties.h"
#include "panel/zq8.h"
#include "settings/config.h"
#include "tests/support/temp_config.h"

namespace zq8test {

inline std::shared_ptr<zq8> MainWindowWithLinkControls() {
    std::shared_ptr<zq8> window = zq8::zq8_();
    // The window's Open has applied a protocol and written the settings file; the link tests
    // start from the state before that, with the layout's title and no file.
    window->SetTitle("ZQ8");
    std::filesystem::remove(SettingsFile());
    config::initconfig("zq8.ini");
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
