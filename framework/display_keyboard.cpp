#include "framework/display_keyboard.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "framework/x11_connection.h"

namespace fw {

std::optional<std::set<std::uint32_t>> KeysDownOnDisplay() {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> reply(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    if (!reply) {
        return std::nullopt;
    }
    // One bit per keycode, keycode 8 * byte + bit.
    std::set<std::uint32_t> down;
    for (std::uint32_t byte = 0; byte < sizeof(reply->keys); ++byte) {
        for (std::uint32_t bit = 0; bit < 8; ++bit) {
            if ((reply->keys[byte] >> bit) & 1u) {
                down.insert(byte * 8 + bit);
            }
        }
    }
    return down;
}

}  // namespace fw
