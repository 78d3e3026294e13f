// Framework-internal: the keys the display holds down, as its server keeps them.
#pragma once

#include <cstdint>
#include <optional>
#include <set>

class QWidget;

namespace fw {

// The codes (X11 keycodes, as Qt gives them as native scan codes) of every key held down now;
// nothing on a display that does not tell.
std::optional<std::set<std::uint32_t>> KeysDownOnDisplay();

// Asks the display to follow each focus that window gets with the keys held down at that very
// moment. Asked later, the answer would also hold a key pressed in the window just after it took
// the focus, and that press would be taken for one made elsewhere.
void AskForKeysAtFocus(const QWidget& window);

// Reads the display's events in their order, and gives the keys held down as a window of ours
// took the focus, once the notice that follows the focus-in has come.
class FocusKeys {
public:
    std::optional<std::set<std::uint32_t>> Read(const void* xcbEvent);

private:
    bool afterFocusIn_ = false;
};

}  // namespace fw
