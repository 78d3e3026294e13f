// The main window's Close: ends the run.
#include "framework/runtime.h"
#include "panel/zq8.h"

void zq8::Event_Close() {
    fw::Quit(0);
}
