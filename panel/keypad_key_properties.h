// The design-time property lists of the keypad keys, the control array "ZQ8k".
#pragma once

#include <cstdint>

#include "framework/object.h"

// The list of the keypad key with that index (0 to 9, 15 to 42): its place, tab order and
// caption. An index that no key has raises std::out_of_range.
const fw::String& KeypadKeyProperties(std::int32_t index);
