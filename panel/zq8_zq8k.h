// The class of the keypad keys, the control array "ZQ8k".
#pragma once

#include <cstdint>

#include "controls/cbbevil.h"
#include "panel/zq8.h"

class zq8::ZQ8k_ : public cbbevil {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The one the window builds its keys with: the key's index, then the default construction.
    void Constructor(std::int32_t index);
    // A complete key on its own, added to the main window: the list of key 17 ("Power On/Off"),
    // bound to ZQ8k_Action, index 0. NilObjectException while there is no main window.
    void Constructor();
};
