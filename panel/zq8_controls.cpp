// The main window's controls, found by name (and index) as they were registered.
#include "controls/cbbevil.h"
#include "controls/cbkey2.h"
#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/serial.h"
#include "framework/text.h"
#include "panel/zq8.h"

cbbevil& zq8::ZQ8k(std::int32_t index) const {
    return fw::Require(dynamic_cast<cbbevil*>(ControlByNameIndex("ZQ8k", index)),
                       "ZQ8k(" + fw::Str(index) + ")");
}

cbkey2& zq8::colork(std::int32_t index) const {
    return fw::Require(dynamic_cast<cbkey2*>(ControlByNameIndex("colork", index)),
                       "colork(" + fw::Str(index) + ")");
}

fw::Serial& zq8::Serialc() const {
    return fw::Require(dynamic_cast<fw::Serial*>(ControlByName("Serialc")), "Serialc");
}

fw::Listbox& zq8::Listbox1() const {
    return fw::Require(dynamic_cast<fw::Listbox*>(ControlByName("Listbox1")), "Listbox1");
}
