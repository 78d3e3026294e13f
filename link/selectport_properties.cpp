#include "link/selectport_properties.h"

#include <climits>
#include <cstdint>
#include <string_view>

#include "framework/property_list_builder.h"
#include "link/bevel_button_properties.h"

namespace {

// The two buttons differ only in name, place across, tab order and caption.
fw::String ButtonList(std::string_view name, std::int32_t left, std::int32_t tabIndex,
                      std::string_view caption) {
    return BevelButtonProperties({name, INT32_MIN, left, 57, 67, 27, tabIndex, caption});
}

}  // namespace

const fw::String& SelectPortProperties() {
    static const fw::String list = fw::PropertyListBuilder()
                                       .Integer("Placement", 4)
                                       .Integer("Width", 204)
                                       .Integer("Height", 104)
                                       .Integer("MinWidth", 64)
                                       .Integer("MinHeight", 64)
                                       .Integer("MaxWidth", 32000)
                                       .Integer("MaxHeight", 32000)
                                       .Integer("Frame", 1)
                                       .Boolean("Composite", false)
                                       .Boolean("HasBackColor", false)
                                       .Colour("BackColor", fw::RGB(255, 255, 255))
                                       .Text("Title", "Select Port")
                                       .Boolean("Visible", true)
                                       .Boolean("FullScreen", false)
                                       .Boolean("MenuBarVisible", false)
                                       .Boolean("CloseButton", false)
                                       .Boolean("Resizeable", false)
                                       .Boolean("LiveResize", false)
                                       .Boolean("MaximizeButton", false)
                                       .Boolean("MinimizeButton", false)
                                       .Integer("MacProcID", 0)
                                       .Build();
    return list;
}

const fw::String& SerialPopupProperties() {
    static const fw::String list = fw::PropertyListBuilder()
                                       .Text("Name", "SerialPopup")
                                       .Integer("Index", INT32_MIN)  // in no control array
                                       .Integer("Left", 20)
                                       .Integer("Top", 14)
                                       .Integer("Width", 164)
                                       .Integer("Height", 20)
                                       .Boolean("LockLeft", false)
                                       .Boolean("LockTop", false)
                                       .Boolean("LockRight", false)
                                       .Boolean("LockBottom", false)
                                       .Integer("TabPanelIndex", 0)
                                       .Integer("TabIndex", 0)
                                       .Boolean("TabStop", true)
                                       .Boolean("Enabled", true)
                                       .Text("InitialValue", "none")
                                       .Integer("ListIndex", 0)
                                       .Boolean("Visible", true)
                                       .Text("HelpTag", "")
                                       .Boolean("AutoDeactivate", true)
                                       .Text("TextFont", "System")
                                       .Boolean("Bold", false)
                                       .Boolean("Italic", false)
                                       .Boolean("Underline", false)
                                       .Text("DataSource", "")
                                       .Text("DataField", "")
                                       .Text("InitialParent", "")
                                       .Build();
    return list;
}

const fw::String& BevelButton1Properties() {
    static const fw::String list = ButtonList("BevelButton1", 117, 1, "OK");
    return list;
}

const fw::String& RefreshProperties() {
    static const fw::String list = ButtonList("refresh", 20, 2, "Refresh");
    return list;
}
