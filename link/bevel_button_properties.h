// The design-time property list every bevel button of the system carries: the keypad keys and
// the port dialog's two buttons differ only in name, index, place, size, tab order and caption.
#pragma once

#include <cstdint>
#include <string_view>

#include "framework/object.h"

struct BevelButtonPlace {
    std::string_view name;
    std::int32_t index;  // INT32_MIN: in no control array
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::int32_t tabIndex;
    std::string_view caption;
};

fw::String BevelButtonProperties(const BevelButtonPlace& place);
