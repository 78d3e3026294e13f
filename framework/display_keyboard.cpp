#include "framework/display_keyboard.h"

#include <xcb/xcb.h>
#include <QWidget>
#include <QWindow>

#include "framework/x11_connection.h"

namespace fw {

namespace {

using Keys = std::set<std::uint32_t>;

// One bit per keycode, from keycode `first` on.
template <std::size_t N>
Keys KeysOf(const std::uint8_t (&bits)[N], std::uint32_t first) {
    Keys down;
    for (std::uint32_t byte = 0; byte < N; ++byte) {
        for (std::uint32_t bit = 0; bit < 8; ++bit) {
            if ((bits[byte] >> bit) & 1u) {
                down.insert(first + byte * 8 + bit);
            }
        }
    }
    return down;
}

}  // namespace

std::optional<Keys> KeysDownOnDisplay() {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    const XcbReply<xcb_query_keymap_reply_t> reply(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr));
    if (!reply) {
        return std::nullopt;
    }
    return KeysOf(reply->keys, 0);
}

void AskForKeysAtFocus(const QWidget& window) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || window.windowHandle() == nullptr) {
        return;
    }
    const auto id = static_cast<xcb_window_t>(window.windowHandle()->winId());
    // Added to what Qt asks of the window, not in its place.
    const XcbReply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, id), nullptr));
    if (!attributes) {
        return;
    }
    const std::uint32_t mask = attributes->your_event_mask | XCB_EVENT_MASK_KEYMAP_STATE;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

std::optional<Keys> FocusKeys::Read(const void* xcbEvent) {
    const auto* event = static_cast<const xcb_generic_event_t*>(xcbEvent);
    const std::uint8_t type = event->response_type & 0x7f;
    // The server sends the keymap right after the focus-in, and after each pointer entry too: only
    // the one after a focus-in tells what was held as the focus came.
    const bool afterFocusIn = afterFocusIn_;
    afterFocusIn_ = type == XCB_FOCUS_IN;
    if (type != XCB_KEYMAP_NOTIFY || !afterFocusIn) {
        return std::nullopt;
    }
    // The notice leaves out keycodes 0 to 7, which no key has.
    return KeysOf(reinterpret_cast<const xcb_keymap_notify_event_t*>(event)->keys, 8);
}

}  // namespace fw
