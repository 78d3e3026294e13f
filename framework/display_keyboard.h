// Framework-internal: the keys the display holds down now, as its server keeps them.
#pragma once

#include <cstdint>
#include <optional>
#include <set>

namespace fw {

// The codes (X11 keycodes, as Qt gives them as native scan codes) of every key held down now;
// nothing on a display that does not tell.
std::optional<std::set<std::uint32_t>> KeysDownOnDisplay();

}  // namespace fw
