// Clicks on the keypad and the colour keys.
#include <cstdint>

#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/listbox.h"
#include "framework/text.h"
#include "panel/zq8.h"

namespace {

// The log is shown while the window is taller than this.
constexpr std::int32_t kCollapsedHeightLimit = 500;

// The byte a key code sends, as cmdout takes it: 128 to 255 arrive as -128 to -1.
std::int8_t LowByte(std::int32_t code) {
    return static_cast<std::int8_t>(code & 0xFF);
}

}  // namespace

void zq8::ZQ8k_Action(cbbevil& key) {
    if (key.tag != -1) {
        cmdout(LowByte(key.tag));
        return;
    }
    // A key without a code sends nothing; the shown log says which key it was.
    if (Height() > kCollapsedHeightLimit) {
        Listbox1().InsertRow(0, "Key " + fw::Str(key.Index()), 0);
    }
}

void zq8::colork_Action(cbkey2& key) {
    // Before a key code table gave the key its code it has none: its 0 is the "1" key's code
    // under Sony SIRC, which the remote must not see from a colour key.
    if (key.tagset) {
        cmdout(LowByte(key.Tag));
    }
}
