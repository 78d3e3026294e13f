// One panel at a time on a settings folder: two would each write back their own table and undo
// the other's changes. The run holds an exclusive lock on the file ".zq8.lock" in the folder,
// with its pid written in it, from its start to its end, and takes it again where a store makes
// the folder anew.
#pragma once

#include "framework/object.h"

namespace fw {

// Takes the lock on the settings folder of the moment, making the folder when it is missing.
// False when another program holds it: one stderr line then names that program's pid. A folder
// that can hold no lock file leaves the run unguarded, with one stderr line saying so.
bool LockSettingsFolder();
// Where this run holds the lock of a settings folder that has since been removed or renamed,
// takes it again in the settings folder of the moment, making that folder, before a store
// writes there. False, with the reason, when another panel holds the lock there already.
bool KeepSettingsFolderLocked(String& reason);
// Gives the lock up; harmless when none is held.
void UnlockSettingsFolder();

}  // namespace fw
