// The main window's design-time property list, applied by its Layout.
#pragma once

#include "framework/object.h"

// 260 by 474, titled "ZQ8", with a close and a minimise box and the menu bar shown.
const fw::String& MainWindowProperties();
