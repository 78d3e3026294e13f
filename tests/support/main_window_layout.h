// The main window's controls as laid out, in creation order: the keypad keys, with the four
// colour keys between the keys of tab index 17 and 22, then Serialc, which has no place, and
// the command log. Written once, for the tests of the design-time lists and of the window built.
#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>
#include <vector>

#include "framework/control.h"

namespace zq8test {

struct PlacedControl {
    const char* name;
    std::int32_t index;
    const char* caption;  // nullptr for all but the keypad keys
    std::int32_t left, top, width, height, tabIndex;

    bool IsKeypadKey() const { return std::string_view(name) == "ZQ8k"; }
    bool IsColourKey() const { return std::string_view(name) == "colork"; }
};

inline void PrintTo(const PlacedControl& p, std::ostream* out) {
    *out << p.name << "(" << p.index << ")";
}

inline const std::vector<PlacedControl> kMainWindowLayout = {
    {"ZQ8k", 17, "Power On/Off", 140, 8, 100, 22, 0},
    {"ZQ8k", 18, "Open/Close", 140, 35, 100, 22, 1},
    {"ZQ8k", 0, "1", 20, 8, 28, 28, 2},
    {"ZQ8k", 1, "2", 60, 8, 28, 28, 3},
    {"ZQ8k", 2, "3", 100, 8, 28, 28, 4},
    {"ZQ8k", 3, "4", 20, 50, 28, 28, 5},
    {"ZQ8k", 4, "5", 60, 50, 28, 28, 6},
    {"ZQ8k", 5, "6", 100, 50, 28, 28, 7},
    {"ZQ8k", 6, "7", 20, 93, 28, 28, 8},
    {"ZQ8k", 7, "8", 60, 93, 28, 28, 9},
    {"ZQ8k", 8, "9", 99, 93, 28, 28, 10},
    {"ZQ8k", 9, "0", 60, 136, 28, 28, 11},
    {"ZQ8k", 15, "CLR", 20, 136, 28, 28, 12},
    {"ZQ8k", 16, "Tim", 100, 136, 28, 28, 13},
    {"ZQ8k", 19, "Audio", 140, 62, 100, 22, 14},
    {"ZQ8k", 20, "Sub Title", 140, 88, 100, 22, 15},
    {"ZQ8k", 21, "Angle", 140, 116, 100, 22, 16},
    {"ZQ8k", 22, "Display", 140, 142, 100, 22, 17},
    {"colork", 103, nullptr, 20, 176, 32, 20, 0},
    {"colork", 104, nullptr, 79, 176, 32, 20, 0},
    {"colork", 105, nullptr, 139, 176, 32, 20, 0},
    {"colork", 102, nullptr, 199, 176, 32, 20, 0},
    {"ZQ8k", 23, "Top Menu", 20, 208, 100, 22, 22},
    {"ZQ8k", 24, "Popup menu", 140, 208, 100, 22, 23},
    {"ZQ8k", 25, "^", 108, 242, 49, 22, 24},
    {"ZQ8k", 28, ">", 191, 276, 49, 22, 25},
    {"ZQ8k", 27, "Enter", 93, 276, 78, 22, 26},
    {"ZQ8k", 26, "<", 20, 276, 49, 22, 27},
    {"ZQ8k", 29, "v", 108, 310, 49, 22, 28},
    {"ZQ8k", 30, "Return", 20, 344, 68, 22, 29},
    {"ZQ8k", 31, "Home", 98, 344, 68, 22, 30},
    {"ZQ8k", 32, "Options", 172, 344, 68, 22, 31},
    {"ZQ8k", 33, "|<<", 20, 378, 37, 22, 32},
    {"ZQ8k", 34, "<-o", 79, 378, 36, 22, 33},
    {"ZQ8k", 35, "o->", 139, 378, 36, 22, 34},
    {"ZQ8k", 36, ">>|", 204, 378, 36, 22, 35},
    {"ZQ8k", 37, "<<", 20, 412, 49, 22, 36},
    {"ZQ8k", 39, ">>", 191, 412, 49, 22, 37},
    {"ZQ8k", 38, ">", 100, 412, 68, 22, 38},
    {"ZQ8k", 40, "Scene/Search", 20, 446, 100, 22, 39},
    {"ZQ8k", 41, "||", 130, 446, 49, 22, 40},
    {"ZQ8k", 42, "[]", 191, 446, 49, 22, 41},
    {"Serialc", fw::kNoIndex, nullptr, 0, 0, 0, 0, 0},
    {"Listbox1", fw::kNoIndex, nullptr, 9, 476, 242, 100, 42},
};

}  // namespace zq8test
