// The main window a key that is not yet on any window is to join.
#pragma once

#include <memory>

#include "framework/exceptions.h"
#include "framework/window.h"
#include "panel/zq8.h"

// The live main window; NilObjectException when there is none. Unlike zq8::zq8_ it never builds
// one: a key constructing itself must not open a window as a side effect.
inline zq8& LiveMainWindow() {
    auto window = std::dynamic_pointer_cast<zq8>(fw::GetImplicitWindow(zq8::Class().name));
    return fw::Require(window.get(), "zq8");
}
