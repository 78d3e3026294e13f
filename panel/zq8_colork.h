// The class of the colour keys, the control array "colork".
#pragma once

#include <cstdint>

#include "controls/cbkey2.h"
#include "panel/zq8.h"

class zq8::colork_ : public cbkey2 {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The one the window builds its keys with: the key's index, then the default construction.
    void Constructor(std::int32_t index);
    // A complete key on its own, added to the main window: the list of key 103 (red), bound to
    // colork_Action, index 0. NilObjectException while there is no main window.
    void Constructor();
};
