// The main window's Open, which ties the settings, the port and the protocol together at start,
// and its Close, which ends the run.
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
    opencontrollerport(getserialport(config::getstring("controlport")));
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
