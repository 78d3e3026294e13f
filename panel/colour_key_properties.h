// The design-time property lists of the colour keys, the control array "colork".
#pragma once

#include <cstdint>

#include "framework/object.h"

// The list of the colour key with that index (102 to 105); the four differ only in Index and
// Left. An index that no key has raises std::out_of_range.
const fw::String& ColourKeyProperties(std::int32_t index);
