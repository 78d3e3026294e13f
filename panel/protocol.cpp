// The protocol switch and the two key code tables.
#include <array>
#include <optional>

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/text.h"
#include "panel/zq8.h"
#include "settings/config.h"

namespace {

// One keypad key's entry in a table: its code (-1 for none) and, where the table sets one, its
// caption.
struct KeyEntry {
    std::int32_t index;
    std::int32_t code;
    const char* caption = nullptr;
};

struct ColourEntry {
    std::int32_t index;
    std::int32_t code;
};

// Sony SIRC: every key has a code. The captions are the layout's, so that a switch back from
// Philips RC6 shows what the keys now send.
constexpr KeyEntry kSircKeys[] = {
    {0, 0},
    {1, 1},
    {2, 2},
    {3, 3},
    {4, 4},
    {5, 5},
    {6, 6},
    {7, 7},
    {8, 8},
    {9, 9},
    {15, 15, "CLR"},
    {16, 40, "Tim"},
    {17, 21},
    {18, 22},
    {19, 100},
    {20, 99},
    {21, 101, "Angle"},
    {22, 65, "Display"},
    {23, 44, "Top Menu"},
    {24, 41, "Popup menu"},
    {25, 57},
    {26, 59},
    {27, 61, "Enter"},
    {28, 60},
    {29, 58},
    {30, 67, "Return"},
    {31, 66},
    {32, 63},
    {33, 87},
    {34, 118, "<-o"},
    {35, 117, "o->"},
    {36, 86},
    {37, 27},
    {38, 26, ">"},
    {39, 28},
    {40, 85, "Scene/Search"},
    {41, 25, "||"},
    {42, 24},
};
constexpr ColourEntry kSircColours[] = {{103, 103}, {104, 104}, {105, 105}, {102, 102}};

// Philips RC6: the digits first, then the five keys it leaves without a code or a caption, then
// the rest in ascending order, each caption right after its key's code.
constexpr KeyEntry kRc6Keys[] = {
    {0, 1},
    {1, 2},
    {2, 3},
    {3, 4},
    {4, 5},
    {5, 6},
    {6, 7},
    {7, 8},
    {8, 9},
    {9, 0},
    {15, -1, ""},
    {16, -1, ""},
    {34, -1, ""},
    {35, -1, ""},
    {40, -1, ""},
    {17, 12},
    {18, 66},
    {19, 78},
    {20, 75},
    {21, 238, "Live TV"},
    {22, 195, "Camera"},
    {23, 67, "SDI I/P"},
    {24, 209, "Disc"},
    {25, 88},
    {26, 90},
    {27, 92, "OK"},
    {28, 91},
    {29, 89},
    {30, 131, "Back"},
    {31, 146},
    {32, 130},
    {33, 33},
    {36, 32},
    {37, 41},
    {38, 44, "> ||"},
    {39, 40},
    {41, 55, "Rec"},
    {42, 49},
};
constexpr ColourEntry kRc6Colours[] = {{103, 109}, {104, 110}, {105, 111}, {102, 112}};

template <std::size_t Keys, std::size_t Colours>
void Load(zq8& window, const KeyEntry (&keys)[Keys], const ColourEntry (&colours)[Colours]) {
    for (const KeyEntry& entry : keys) {
        cbbevil& key = window.ZQ8k(entry.index);
        key.tag = entry.code;
        if (entry.caption != nullptr) {
            key.SetCaption(entry.caption);
        }
    }
    for (const ColourEntry& entry : colours) {
        cbkey2& key = window.colork(entry.index);
        key.Tag = entry.code;
        key.tagset = true;
    }
}

}  // namespace

void zq8::init_sirc() {
    Load(*this, kSircKeys, kSircColours);
}

void zq8::init_rc6() {
    Load(*this, kRc6Keys, kRc6Colours);
}

void zq8::setzq8lang(std::int32_t n) {
    zq8lang = n;
    write2eeprom(1, 6, static_cast<std::int8_t>(n & 0xFF));
    config::putconfig("zq8lang", fw::Int32ToVariant(zq8lang));
    switch (zq8lang) {
        case 0:
            SetTitle("Sony SIRC");
            init_sirc();
            break;
        case 1:
            SetTitle("Phillips RC6");
            init_rc6();
            break;
        default:
            // Recorded, sent and stored, but it names no protocol: the title and keys stay.
            break;
    }
}
