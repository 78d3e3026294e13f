// The main window's Open, which ties the settings, the port and the protocol together at start,
// and its Close, which ends the run.
#include <cstdio>

#include "controls/cbkey2.h"
#include "framework/exceptions.h"
#include "framework/runtime.h"
#include "framework/serial.h"
#include "link/selectport.h"
#include "panel/zq8.h"
#include "settings/config.h"

void zq8::Event_Open() {
    config::initconfig("zq8.ini");
    Serialc().Close();
    const fw::String stored = config::getstring("controlport");
    const std::int32_t n = getserialnum(stored);
    // Keys would send nothing without a word: an adapter unplugged since, a path no longer in
    // ZQ8_SERIAL_PORTS. The name stays stored, and the next start looks for it again.
    if (n < 0 && !stored.empty()) {
        std::fprintf(stderr, "zq8: the stored port %s is not there\n", stored.c_str());
        std::fflush(stderr);
    }
    opencontrollerport(n);
    colork(103).setcolor("red");
    colork(104).setcolor("lime");
    colork(105).setcolor("yellow");
    colork(102).setcolor("blue");
    setzq8lang(config::getint("zq8lang"));
}

void zq8::Event_Close() {
    Serialc().Close();
    fw::Require(selectport::selectport_().get(), "selectport").Close();
    fw::Quit(0);
}
