// The keys held down as a window took the focus, read off the display's own events in their
// order: only the keymap notice that follows a focus-in counts, never the one that follows the
// pointer's entry, and its bits are keycodes from 8 on.
#include "framework/display_keyboard.h"

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdint>
#include <optional>
#include <set>
#include <vector>

namespace {

using Keys = std::set<std::uint32_t>;

struct Event {
    std::uint8_t type;
    Keys keys = {};     // a keymap notice's
    bool sent = false;  // sent by another client, with the flag the server sets
};

xcb_generic_event_t Raw(const Event& event) {
    xcb_generic_event_t raw{};
    if (event.type == XCB_KEYMAP_NOTIFY) {
        auto& keymap = reinterpret_cast<xcb_keymap_notify_event_t&>(raw);
        for (const std::uint32_t key : event.keys) {
            keymap.keys[(key - 8) / 8] |= std::uint8_t(1u << ((key - 8) % 8));
        }
    }
    raw.response_type = std::uint8_t(event.type | (event.sent ? 0x80 : 0));
    return raw;
}

TEST(FocusKeys, TellsTheKeysHeldOnlyRightAfterAFocusIn) {
    const struct {
        const char* what;
        std::vector<Event> events;
        std::vector<std::optional<Keys>> told;  // after each event
    } cases[] = {
        {"a focus-in and its keymap",
         {{XCB_FOCUS_IN}, {XCB_KEYMAP_NOTIFY, {11, 38}}},
         {std::nullopt, Keys{11, 38}}},
        {"the lowest and the highest keycode",
         {{XCB_FOCUS_IN}, {XCB_KEYMAP_NOTIFY, {8, 255}}},
         {std::nullopt, Keys{8, 255}}},
        {"nothing held", {{XCB_FOCUS_IN}, {XCB_KEYMAP_NOTIFY}}, {std::nullopt, Keys{}}},
        {"the pointer's entry is no focus",
         {{XCB_ENTER_NOTIFY}, {XCB_KEYMAP_NOTIFY, {11}}},
         {std::nullopt, std::nullopt}},
        {"a keymap after another event than the focus-in",
         {{XCB_FOCUS_IN}, {XCB_KEY_PRESS}, {XCB_KEYMAP_NOTIFY, {11}}},
         {std::nullopt, std::nullopt, std::nullopt}},
        {"each focus once",
         {{XCB_FOCUS_IN},
          {XCB_KEYMAP_NOTIFY, {11}},
          {XCB_KEYMAP_NOTIFY, {12}},
          {XCB_FOCUS_OUT},
          {XCB_FOCUS_IN, {}, true},
          {XCB_KEYMAP_NOTIFY, {12}}},
         {std::nullopt, Keys{11}, std::nullopt, std::nullopt, std::nullopt, Keys{12}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fw::FocusKeys focusKeys;
        ASSERT_EQ(c.events.size(), c.told.size());
        for (std::size_t i = 0; i < c.events.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "event " << i);
            const xcb_generic_event_t raw = Raw(c.events[i]);
            EXPECT_EQ(focusKeys.Read(&raw), c.told[i]);
        }
    }
}

}  // namespace
