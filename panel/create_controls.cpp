// The window's 44 controls, created in tab order, each registered under its name, given its
// design-time list and bound.
#include <cstdint>
#include <string_view>

#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/property_list.h"
#include "link/serialc.h"
#include "link/serialc_properties.h"
#include "panel/colour_key_properties.h"
#include "panel/keypad_key_properties.h"
#include "panel/listbox1_properties.h"
#include "panel/zq8.h"
#include "panel/zq8_colork.h"
#include "panel/zq8_zq8k.h"

namespace {

// One key of a control array: constructed with its index, registered, then found again by name
// and index for its list and its handler, as every later lookup will find it.
template <class Key, class Base>
void CreateKey(zq8& window, std::string_view name, std::int32_t index, const fw::String& list,
               void (zq8::*handler)(Base&)) {
    Key& key = window.New<Key>();
    key.Constructor(index);
    window.AddControl(fw::String(name), key);
    auto lookUp = [&]() -> Base& {
        return fw::Require(dynamic_cast<Base*>(window.ControlByNameIndex(name, index)),
                           "a new key");
    };
    fw::SetProperties(&lookUp(), list);
    // The member pointer dispatches through the window's virtual table, so an override of the
    // handler in a subclass of zq8 is the one that runs.
    fw::InstallInstanceEventHandler(lookUp(), "Action", fw::WindowMethod(&window, handler));
}

void CreateKeypadKey(zq8& window, std::int32_t index) {
    CreateKey<zq8::ZQ8k_>(window, "ZQ8k", index, KeypadKeyProperties(index), &zq8::ZQ8k_Action);
}

void CreateColourKey(zq8& window, std::int32_t index) {
    CreateKey<zq8::colork_>(window, "colork", index, ColourKeyProperties(index),
                            &zq8::colork_Action);
}

}  // namespace

void zq8::CreateControls() {
    CreateControls0();
    CreateControls1();
}

void zq8::CreateControls0() {
    // Tab order 0 to 17, then the colour keys from left to right, then tab order 22 on.
    for (std::int32_t index : {17, 18, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 16, 19, 20, 21, 22}) {
        CreateKeypadKey(*this, index);
    }
    for (std::int32_t index : {103, 104, 105, 102}) {
        CreateColourKey(*this, index);
    }
    for (std::int32_t index : {23, 24, 25, 28, 27, 26, 29, 30}) {
        CreateKeypadKey(*this, index);
    }
}

void zq8::CreateControls1() {
    for (std::int32_t index : {31, 32, 33, 34, 35, 36, 37, 39, 38, 40, 41, 42}) {
        CreateKeypadKey(*this, index);
    }

    Serialc_& serial = New<Serialc_>();
    serial.Constructor();
    AddControl("Serialc", serial);
    auto serialc = [this]() -> fw::Serial& {
        return fw::Require(dynamic_cast<fw::Serial*>(ControlByName("Serialc")), "Serialc");
    };
    fw::SetProperties(&serialc(), SerialcProperties());
    // Its one event: a line lost while open must not leave the title naming the port.
    fw::InstallInstanceEventHandler(serialc(), "Error",
                                    fw::WindowMethod(this, &zq8::Serialc_Error));

    fw::Listbox& log = New<fw::Listbox>();
    log.Constructor();
    AddControl("Listbox1", log);
    // The list format carries no text unit, so it is set before the list.
    fw::Require(dynamic_cast<fw::Listbox*>(ControlByName("Listbox1")), "Listbox1").SetTextUnit(0);
    fw::SetProperties(
        &fw::Require(dynamic_cast<fw::Listbox*>(ControlByName("Listbox1")), "Listbox1"),
        Listbox1Properties());
}
