// The class of the main window's serial control, Serialc.
#pragma once

#include "framework/serial.h"
#include "panel/zq8.h"

class zq8::Serialc_ : public fw::Serial {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // Nothing to do: the line settings come from the control's list.
    void Constructor() {}
};
