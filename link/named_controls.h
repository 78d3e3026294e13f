// The main window's controls that the link methods use, found by name on the window they run on,
// as the framework registered them: a window without them raises NilObjectException.
#pragma once

#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/serial.h"
#include "framework/window.h"

namespace zq8link {

// A control of that name but of another class is no more usable than a missing one.
inline fw::Serial& SerialcOn(const fw::Window& window) {
    return fw::Require(dynamic_cast<fw::Serial*>(window.ControlByName("Serialc")), "Serialc");
}

inline fw::Listbox& Listbox1On(const fw::Window& window) {
    return fw::Require(dynamic_cast<fw::Listbox*>(window.ControlByName("Listbox1")), "Listbox1");
}

}  // namespace zq8link
