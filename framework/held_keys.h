// Framework-internal: whose a key press is. A key held down in another window repeats into the
// panel once the panel takes the keyboard; those repeats are not the panel's: a key's repeats
// belong to the panel only while the panel saw that key go down.
#pragma once

#include <cstdint>
#include <functional>
#include <set>

namespace fw {

class HeldKeys {
public:
    using Keys = std::set<std::uint32_t>;

    // The panel took the keyboard while the display held these keys down: they went down
    // elsewhere, and none of their presses is the panel's until they have come up.
    void TookKeyboard(Keys downElsewhere);
    // The panel lost the keyboard: a key it saw go down may come up elsewhere.
    void LostKeyboard();
    // Each delivery of a key event, by the key's code; a delivery seen twice changes nothing.
    // Whether a key comes up for good is asked of the display only for a key held elsewhere, as
    // a repeat's release may look like the key coming up.
    void Pressed(std::uint32_t key, bool autoRepeat);
    void Released(std::uint32_t key, bool autoRepeat, const std::function<bool()>& stillDown);
    // True for a press that is the panel's: a key going down in it, or a repeat of one it saw go
    // down.
    bool Belongs(std::uint32_t key, bool autoRepeat) const;

private:
    Keys downHere_;
    Keys downElsewhere_;
};

}  // namespace fw
