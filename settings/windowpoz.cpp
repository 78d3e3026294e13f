// The window positions live apart from the rest of the store: only code that has windows
// links them in.
#include "framework/window.h"
#include "settings/config.h"

namespace config {

void getwindowpoz(fw::Window& w) {
    const fw::String leftKey = w.Title() + "_left";
    const fw::String topKey = w.Title() + "_top";
    const std::int32_t left = getint(leftKey);
    if (cfound) {
        w.SetLeft(left);
    }
    const std::int32_t top = getint(topKey);
    if (cfound) {
        w.SetTop(top);
    }
}

void putwindowpoz(fw::Window& w) {
    const fw::String leftKey = w.Title() + "_left";
    const fw::String topKey = w.Title() + "_top";
    putconfig(leftKey, fw::Int32ToVariant(w.Left()));
    putconfig(topKey, fw::Int32ToVariant(w.Top()));
}

}  // namespace config
