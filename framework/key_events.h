// Framework-internal: keys typed into a window reach its KeyDown before its focused control; keys
// that walk a menu or the menu bar, or go to a popup or a modal window, raise no KeyDown, nor do
// the repeats of a key that went down in another program's window.
#pragma once

#include "framework/object.h"

class QKeyEvent;

namespace fw {

// Installs, once, the application-wide filter that raises KeyDown.
void InstallKeyDownFilter();
// The key text KeyDown is given: Return and Enter are code 13, the arrows 28 to 31 (left,
// right, up, down), every other key its text; empty for a key that types nothing and for any key
// typed with Ctrl, Alt or Meta held.
String KeyText(const QKeyEvent& event);

}  // namespace fw
