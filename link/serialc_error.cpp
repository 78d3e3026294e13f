// The main window's answer to a line lost while open: the box is unplugged or its virtual port
// gone, and the frames from now on reach nothing until the port is chosen again.
#include "framework/serial.h"
#include "panel/zq8.h"

void zq8::Serialc_Error(fw::Serial& /*serial*/) {
    // The serial control has said on stderr which port went and why; the title says that none
    // is open, as after a failed open. "controlport" stays, so the next start tries it again.
    SetTitle("ZQ8");
}
