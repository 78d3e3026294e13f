#include "panel/main_window_properties.h"

#include "framework/property_list_builder.h"

const fw::String& MainWindowProperties() {
    static const fw::String list = fw::PropertyListBuilder()
                                       .Integer("Placement", 0)
                                       .Integer("Width", 260)
                                       .Integer("Height", 474)
                                       .Integer("MinWidth", 64)
                                       .Integer("MinHeight", 64)
                                       .Integer("MaxWidth", 32000)
                                       .Integer("MaxHeight", 32000)
                                       .Integer("Frame", 0)
                                       .Boolean("Composite", false)
                                       .Boolean("HasBackColor", false)
                                       .Colour("BackColor", fw::RGB(255, 255, 255))
                                       .Text("Title", "ZQ8")
                                       .Boolean("Visible", true)
                                       .Boolean("FullScreen", false)
                                       .Boolean("MenuBarVisible", true)
                                       .Boolean("CloseButton", true)
                                       .Boolean("Resizeable", false)
                                       .Boolean("LiveResize", true)
                                       .Boolean("MaximizeButton", false)
                                       .Boolean("MinimizeButton", true)
                                       .Integer("MacProcID", 0)
                                       .Build();
    return list;
}
