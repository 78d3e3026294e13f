// The keypad's button: a bevel button that carries the key code it sends.
#pragma once

#include <cstdint>

#include "framework/bevel_button.h"

class cbbevil : public fw::BevelButton {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The key code; -1 while the key has none.
    std::int32_t tag = -1;
};
