// The keyboard map: Return, the arrow keys, space and the digits press keypad keys.
#include <array>
#include <utility>

#include "controls/cbbevil.h"
#include "framework/text.h"
#include "panel/zq8.h"

namespace {

// Character code, keypad key.
constexpr std::array<std::pair<std::int32_t, std::int32_t>, 16> kKeyboardMap{{
    {13, 27},  // Return: "Enter"
    {28, 26},  // left arrow: "<"
    {29, 28},  // right arrow: ">"
    {30, 25},  // up arrow: "^"
    {31, 29},  // down arrow: "v"
    {32, 38},  // space: ">"
    {48, 9},   // each digit presses the key that bears it
    {49, 0},
    {50, 1},
    {51, 2},
    {52, 3},
    {53, 4},
    {54, 5},
    {55, 6},
    {56, 7},
    {57, 8},
}};

}  // namespace

bool zq8::Event_KeyDown(const fw::String& key) {
    std::int32_t code = -1;
    const std::int32_t c = fw::Asc(key);
    for (const auto& [character, index] : kKeyboardMap) {
        if (character == c) {
            code = ZQ8k(index).tag;
            break;
        }
    }
    if (code != -1) {
        cmdout(static_cast<std::int8_t>(code & 0xFF));
    }
    return false;
}
