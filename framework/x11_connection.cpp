#include "framework/x11_connection.h"

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>

namespace fw {

xcb_connection_t* X11Connection() {
    if (qGuiApp == nullptr) {
        return nullptr;
    }
    // The offscreen platform answers as X11 too, without a connection.
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace fw
