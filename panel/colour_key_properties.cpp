#include "panel/colour_key_properties.h"

#include <map>
#include <stdexcept>
#include <string>

#include "framework/property_list_builder.h"

namespace {

fw::String ListOf(std::int32_t index, std::int32_t left) {
    return fw::PropertyListBuilder()
        .Boolean("TabStop", true)
        .Text("Name", "colork")
        .Integer("Index", index)
        .Integer("Left", left)
        .Integer("Top", 176)
        .Integer("Width", 32)
        .Integer("Height", 20)
        .Boolean("LockLeft", false)
        .Boolean("LockTop", false)
        .Boolean("LockRight", false)
        .Boolean("LockBottom", false)
        .Integer("TabPanelIndex", 0)
        .Integer("TabIndex", 0)
        .Boolean("Visible", true)
        .Text("HelpTag", "")
        .Boolean("AutoDeactivate", true)
        .Boolean("Enabled", true)
        .Boolean("UseFocusRing", true)
        .Boolean("AcceptFocus", false)
        .Boolean("AcceptTabs", false)
        .Boolean("EraseBackground", true)
        .Text("InitialParent", "")
        .Integer("textsize", 14)
        .Colour("litcolor", fw::RGB(0x80, 0xFF, 0x80))
        .Text("Textfont", "System")
        .Boolean("Bold", true)
        .Integer("deltay", -5)
        .Build();
}

}  // namespace

const fw::String& ColourKeyProperties(std::int32_t index) {
    // Left to right: 103, 104, 105, 102.
    static const std::map<std::int32_t, fw::String> lists = {
        {103, ListOf(103, 20)},
        {104, ListOf(104, 79)},
        {105, ListOf(105, 139)},
        {102, ListOf(102, 199)},
    };
    auto found = lists.find(index);
    if (found == lists.end()) {
        throw std::out_of_range("no colour key has the index " + std::to_string(index));
    }
    return found->second;
}
