// Framework-internal: the connection to the X server that Qt holds, for the few requests Qt
// makes no call for.
#pragma once

#include <cstdlib>
#include <memory>

struct xcb_connection_t;

namespace fw {

// Qt's connection, or nullptr on a display that is not X11 (the tests' offscreen one).
xcb_connection_t* X11Connection();

// A reply of the X server, which xcb hands over to be freed with free().
struct FreeXcbReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class Reply>
using XcbReply = std::unique_ptr<Reply, FreeXcbReply>;

}  // namespace fw
