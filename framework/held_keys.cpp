#include "framework/held_keys.h"

#include <utility>

namespace fw {

void HeldKeys::TookKeyboard(Keys downElsewhere) {
    downHere_.clear();
    downElsewhere_ = std::move(downElsewhere);
}

void HeldKeys::LostKeyboard() {
    downHere_.clear();
    downElsewhere_.clear();
}

void HeldKeys::Pressed(std::uint32_t key, bool autoRepeat) {
    if (!autoRepeat && downElsewhere_.count(key) == 0) {
        downHere_.insert(key);
    }
}

void HeldKeys::Released(std::uint32_t key, bool autoRepeat,
                        const std::function<bool()>& stillDown) {
    if (!autoRepeat) {
        downHere_.erase(key);
    }
    if (downElsewhere_.count(key) > 0 && !stillDown()) {
        downElsewhere_.erase(key);
    }
}

bool HeldKeys::Belongs(std::uint32_t key, bool autoRepeat) const {
    if (downElsewhere_.count(key) > 0) {
        return false;
    }
    return !autoRepeat || downHere_.count(key) > 0;
}

}  // namespace fw
