#include "framework/frame_hints.h"

#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <iterator>

#include "framework/x11_connection.h"

namespace fw {

MotifHints FrameHints(const FrameButtons& buttons) {
    MotifHints hints;
    hints.flags = motif::kFunctionsGiven | motif::kDecorationsGiven;
    hints.functions = motif::kMove;
    hints.decorations = motif::kBorder | motif::kTitle;
    if (buttons.resizeable) {
        hints.functions |= motif::kResize;
        hints.decorations |= motif::kResizeHandles;
    }
    if (buttons.minimizeButton) {
        hints.functions |= motif::kMinimize;
        hints.decorations |= motif::kMinimizeButton;
    }
    if (buttons.maximizeButton) {
        hints.functions |= motif::kMaximize;
        hints.decorations |= motif::kMaximizeButton;
    }
    if (buttons.closeButton) {
        hints.functions |= motif::kClose;
    }
    // The window menu offers the same actions: a window that allows none has none.
    if (buttons.closeButton || buttons.minimizeButton || buttons.maximizeButton) {
        hints.decorations |= motif::kWindowMenu;
    }
    return hints;
}

void PublishFrameHints(const QWidget& widget, const MotifHints& hints) {
    xcb_connection_t* connection = X11Connection();
    if (connection == nullptr || widget.windowHandle() == nullptr) {
        return;
    }
    // Asked of the server once a run, not at every showing: an atom stays for the connection's
    // life.
    static const xcb_atom_t atom = [connection] {
        static constexpr char kName[] = "_MOTIF_WM_HINTS";
        const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, sizeof(kName) - 1, kName), nullptr));
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }();
    if (atom == XCB_ATOM_NONE) {
        return;
    }
    const std::uint32_t fields[] = {hints.flags, hints.functions, hints.decorations,
                                    static_cast<std::uint32_t>(hints.inputMode), hints.status};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE,
                        static_cast<xcb_window_t>(widget.windowHandle()->winId()), atom, atom, 32,
                        static_cast<std::uint32_t>(std::size(fields)), fields);
    xcb_flush(connection);
}

}  // namespace fw
