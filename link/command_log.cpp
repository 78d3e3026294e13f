// The command log's text: every frame sent, as hexadecimal, newest on top, while the log shows.
#include <cstddef>

#include "framework/listbox.h"
#include "framework/text.h"
#include "link/named_controls.h"
#include "panel/zq8.h"

namespace {

// The log shows below the keypad only while the window is expanded (584 against 474).
constexpr std::int32_t kLogShownAbove = 500;

}  // namespace

void zq8::display(const fw::String& frame) {
    // A hidden log keeps nothing back: showing it again lists only the frames sent from then on.
    if (Height() <= kLogShownAbove) {
        return;
    }
    fw::Listbox& log = zq8link::Listbox1On(*this);
    log.InsertRow(0, str2hex(frame), 0);
}

fw::String zq8::str2hex(const fw::String& s) {
    // Raw bytes, whatever they would mean as text: a 0x00 or a UTF-8 lead byte is a byte too.
    const fw::MemoryBlock bytes(s);
    fw::String text;
    for (std::size_t i = 0; i < bytes.Size(); ++i) {
        text += byte2hex(bytes.Byte(i));
        text += " ";
    }
    return text;
}

fw::String zq8::byte2hex(std::uint8_t b) {
    fw::String digits = fw::Hex(b);
    if (fw::Len(digits) == 1) {
        digits = "0" + digits;
    }
    return digits;
}
