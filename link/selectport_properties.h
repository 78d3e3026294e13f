// The design-time property lists of the port dialog "Select Port" and of its three controls.
#pragma once

#include "framework/object.h"

// 204 by 104, with no close box, no other boxes and no menu bar: OK is the only way out.
const fw::String& SelectPortProperties();
// The popup of "none" and the serial ports. Its text size is set apart: the format has no reals.
const fw::String& SerialPopupProperties();
// The "OK" button.
const fw::String& BevelButton1Properties();
// The "Refresh" button.
const fw::String& RefreshProperties();
