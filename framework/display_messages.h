// Framework-internal: what the user reads when the display cannot be reached or goes away, in
// place of Qt's abort at start-up and its bare line when the X connection breaks.
#pragma once

namespace fw {

// With no display named at all, says so and ends the process with status 2.
void RequireDisplay();
// From now until ReleaseQtMessages, Qt's messages are held back; should Qt fail to open the
// display meanwhile, one line naming it replaces them and the process ends with status 2, before
// anything else has been done. Call before the QApplication is made.
void HoldQtMessagesWhileStarting();
// The display is open: the held messages go out as Qt would have written them, and later ones
// go straight through.
void ReleaseQtMessages();

}  // namespace fw
