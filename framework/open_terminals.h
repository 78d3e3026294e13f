// The serial lines open in this run, for a run that must end at once: losing the display ends it
// without unwinding, and each port would be left at the panel's line settings and refusing others.
#pragma once

#include "framework/serial_termios.h"

namespace fw {

// Kept from the open of a line until just before its descriptor closes.
void RememberOpenTerminal(int fd, const SavedTerminal& before);
void ForgetOpenTerminal(int fd);

// Puts back each open line's settings as they were before it opened, and lets go of the
// exclusive hold the line took. Safe from any thread; the run is to end right after.
void GiveBackOpenTerminals();

}  // namespace fw
