// The design-time property list of the serial control Serialc: its fixed line settings.
#pragma once

#include "framework/object.h"

// Baud 12, Bits 3, Parity 1, Stop 0 in the framework's codes; XON, CTS and DTR off. No name,
// index or place: the control has no visible part.
const fw::String& SerialcProperties();
