// Framework-internal: the font of a control from its text attributes.
#pragma once

#include <QFont>

#include "framework/object.h"

namespace fw {

struct TextStyle {
    String font;     // "System" or "" for the platform's font
    float size = 0;  // points; 0 for the control kind's own size
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The text size of buttons and popup menus when none is set: small enough that the longest
// keypad captions fit their keys with the platform style's margins.
inline constexpr float kButtonTextSize = 9;

QFont MakeFont(const TextStyle& style, const QFont& platform, float defaultSize);

}  // namespace fw
