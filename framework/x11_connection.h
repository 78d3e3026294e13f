// Framework-internal: the connection to the X server that Qt holds, for the few requests Qt
// makes no call for.
#pragma once

struct xcb_connection_t;

namespace fw {

// Qt's connection, or nullptr on a display that is not X11 (the tests' offscreen one).
xcb_connection_t* X11Connection();

}  // namespace fw
