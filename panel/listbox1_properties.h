// The design-time property list of the command log, Listbox1.
#pragma once

#include "framework/object.h"

// One column, no heading, a border and only a vertical scroll bar, placed below the window's
// collapsed height. The text unit is not in it: the list format cannot carry it.
const fw::String& Listbox1Properties();
