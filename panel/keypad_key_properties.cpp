#include "panel/keypad_key_properties.h"

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

#include "link/bevel_button_properties.h"

namespace {

struct KeypadKey {
    std::int32_t index;
    std::string_view caption;
    std::int32_t left;
    std::int32_t top;
    std::int32_t width;
    std::int32_t height;
    std::int32_t tabIndex;
};

// In tab order. Key 8 stands one pixel left of the keys above it, and keys 28 and 38 share the
// caption ">"; both are the layout as drawn, not slips.
constexpr KeypadKey kKeys[] = {
    {17, "Power On/Off", 140, 8, 100, 22, 0},
    {18, "Open/Close", 140, 35, 100, 22, 1},
    {0, "1", 20, 8, 28, 28, 2},
    {1, "2", 60, 8, 28, 28, 3},
    {2, "3", 100, 8, 28, 28, 4},
    {3, "4", 20, 50, 28, 28, 5},
    {4, "5", 60, 50, 28, 28, 6},
    {5, "6", 100, 50, 28, 28, 7},
    {6, "7", 20, 93, 28, 28, 8},
    {7, "8", 60, 93, 28, 28, 9},
    {8, "9", 99, 93, 28, 28, 10},
    {9, "0", 60, 136, 28, 28, 11},
    {15, "CLR", 20, 136, 28, 28, 12},
    {16, "Tim", 100, 136, 28, 28, 13},
    {19, "Audio", 140, 62, 100, 22, 14},
    {20, "Sub Title", 140, 88, 100, 22, 15},
    {21, "Angle", 140, 116, 100, 22, 16},
    {22, "Display", 140, 142, 100, 22, 17},
    {23, "Top Menu", 20, 208, 100, 22, 22},
    {24, "Popup menu", 140, 208, 100, 22, 23},
    {25, "^", 108, 242, 49, 22, 24},
    {28, ">", 191, 276, 49, 22, 25},
    {27, "Enter", 93, 276, 78, 22, 26},
    {26, "<", 20, 276, 49, 22, 27},
    {29, "v", 108, 310, 49, 22, 28},
    {30, "Return", 20, 344, 68, 22, 29},
    {31, "Home", 98, 344, 68, 22, 30},
    {32, "Options", 172, 344, 68, 22, 31},
    {33, "|<<", 20, 378, 37, 22, 32},
    {34, "<-o", 79, 378, 36, 22, 33},
    {35, "o->", 139, 378, 36, 22, 34},
    {36, ">>|", 204, 378, 36, 22, 35},
    {37, "<<", 20, 412, 49, 22, 36},
    {39, ">>", 191, 412, 49, 22, 37},
    {38, ">", 100, 412, 68, 22, 38},
    {40, "Scene/Search", 20, 446, 100, 22, 39},
    {41, "||", 130, 446, 49, 22, 40},
    {42, "[]", 191, 446, 49, 22, 41},
};

fw::String ListOf(const KeypadKey& key) {
    return BevelButtonProperties(
        {"ZQ8k", key.index, key.left, key.top, key.width, key.height, key.tabIndex, key.caption});
}

}  // namespace

const fw::String& KeypadKeyProperties(std::int32_t index) {
    static const std::map<std::int32_t, fw::String> lists = [] {
        std::map<std::int32_t, fw::String> byIndex;
        for (const KeypadKey& key : kKeys) {
            byIndex.emplace(key.index, ListOf(key));
        }
        return byIndex;
    }();
    auto found = lists.find(index);
    if (found == lists.end()) {
        throw std::out_of_range("no keypad key has the index " + std::to_string(index));
    }
    return found->second;
}
