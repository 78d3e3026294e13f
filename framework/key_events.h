// Framework-internal: typed keys reach the active window's KeyDown before its focused control.
#pragma once

#include "framework/object.h"

class QKeyEvent;

namespace fw {

// Installs, once, the application-wide filter that raises KeyDown.
void InstallKeyDownFilter();
// The key text KeyDown is given: Return and Enter are code 13, the arrows 28 to 31 (left,
// right, up, down), every other key its text; empty for a key that types nothing.
String KeyText(const QKeyEvent& event);

}  // namespace fw
