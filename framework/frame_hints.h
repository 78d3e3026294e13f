// Framework-internal: what a window asks of the window manager for its frame. Window managers
// draw a title bar's buttons from the Motif decoration hints and allow the actions in the
// function hints; Qt sets the function hints only when a window keeps at least one button, so a
// window without any would be left with every action allowed.
#pragma once

#include <cstdint>

class QWidget;

namespace fw {

// The window's own say on its frame.
struct FrameButtons {
    bool closeButton = true;
    bool minimizeButton = true;
    bool maximizeButton = true;
    bool resizeable = true;
};

// The _MOTIF_WM_HINTS property, in the order of its five 32-bit fields.
struct MotifHints {
    std::uint32_t flags = 0;
    std::uint32_t functions = 0;
    std::uint32_t decorations = 0;
    std::int32_t inputMode = 0;
    std::uint32_t status = 0;

    friend bool operator==(const MotifHints&, const MotifHints&) = default;
};

namespace motif {
inline constexpr std::uint32_t kFunctionsGiven = 1u << 0;
inline constexpr std::uint32_t kDecorationsGiven = 1u << 1;

inline constexpr std::uint32_t kResize = 1u << 1;
inline constexpr std::uint32_t kMove = 1u << 2;
inline constexpr std::uint32_t kMinimize = 1u << 3;
inline constexpr std::uint32_t kMaximize = 1u << 4;
inline constexpr std::uint32_t kClose = 1u << 5;

inline constexpr std::uint32_t kBorder = 1u << 1;
inline constexpr std::uint32_t kResizeHandles = 1u << 2;
inline constexpr std::uint32_t kTitle = 1u << 3;
inline constexpr std::uint32_t kWindowMenu = 1u << 4;
inline constexpr std::uint32_t kMinimizeButton = 1u << 5;
inline constexpr std::uint32_t kMaximizeButton = 1u << 6;
}  // namespace motif

// Functions and decorations both given: a titled, movable frame with what the window allows.
MotifHints FrameHints(const FrameButtons& buttons);

// Sets the hints on the widget's native window, which must exist, before it is mapped; does
// nothing on a display other than X11.
void PublishFrameHints(const QWidget& widget, const MotifHints& hints);

}  // namespace fw
