#include "panel/listbox1_properties.h"

#include <climits>

#include "framework/property_list_builder.h"

const fw::String& Listbox1Properties() {
    static const fw::String list = fw::PropertyListBuilder()
                                       .Text("Name", "Listbox1")
                                       .Integer("Index", INT32_MIN)  // in no control array
                                       .Integer("Left", 9)
                                       .Integer("Top", 476)
                                       .Integer("Width", 242)
                                       .Integer("Height", 100)
                                       .Boolean("LockLeft", false)
                                       .Boolean("LockTop", false)
                                       .Boolean("LockRight", false)
                                       .Boolean("LockBottom", false)
                                       .Integer("TabPanelIndex", 0)
                                       .Integer("TabIndex", 42)
                                       .Boolean("TabStop", true)
                                       .Boolean("Visible", true)
                                       .Text("HelpTag", "")
                                       .Boolean("AutoDeactivate", true)
                                       .Boolean("Enabled", true)
                                       .Boolean("Border", true)
                                       .Integer("ColumnCount", 1)
                                       .Text("ColumnWidths", "")
                                       .Boolean("HasHeading", false)
                                       .Boolean("UseFocusRing", true)
                                       .Text("InitialValue", "")
                                       .Integer("HeadingIndex", -1)
                                       .Boolean("ScrollbarHorizontal", false)
                                       .Boolean("ScrollBarVertical", true)
                                       .Integer("GridLinesHorizontal", 0)
                                       .Integer("GridLinesVertical", 0)
                                       .Integer("DefaultRowHeight", -1)
                                       .Integer("_ScrollWidth", -1)
                                       .Text("TextFont", "System")
                                       .Boolean("Bold", false)
                                       .Boolean("Italic", false)
                                       .Boolean("Underline", false)
                                       .Boolean("Hierarchical", false)
                                       .Boolean("EnableDrag", false)
                                       .Boolean("EnableDragReorder", false)
                                       .Boolean("RequiresSelection", false)
                                       .Integer("SelectionType", 0)
                                       .Boolean("ColumnsResizable", false)
                                       .Boolean("AutoHideScrollbars", true)
                                       .Text("DataSource", "")
                                       .Text("DataField", "")
                                       .Text("InitialParent", "")
                                       .Build();
    return list;
}
