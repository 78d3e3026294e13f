// The popup menu: its rows, its selection and its list.
#include <gtest/gtest.h>

#include <QComboBox>

#include "framework/popup_menu.h"
#include "framework/property_list.h"
#include "framework/property_list_builder.h"

namespace {

TEST(PopupMenu, RowsAppendWithoutSelectingAndTheSelectionGivesItsText) {
    fw::PopupMenu popup;
    EXPECT_EQ(popup.ListIndex(), -1);
    popup.AddRow("none");
    popup.AddRow("ttyUSB0");
    EXPECT_EQ(popup.ListCount(), 2);
    EXPECT_EQ(popup.List(1), "ttyUSB0");
    EXPECT_EQ(popup.List(2), "");
    EXPECT_EQ(popup.ListIndex(), -1);
    EXPECT_EQ(popup.Text(), "");

    popup.SetListIndex(1);
    EXPECT_EQ(popup.Text(), "ttyUSB0");
    popup.AddRow("ttyUSB1");
    EXPECT_EQ(popup.ListIndex(), 1);

    for (std::int32_t outside : {3, -1, -7}) {
        popup.SetListIndex(1);
        popup.SetListIndex(outside);
        EXPECT_EQ(popup.ListIndex(), -1) << outside;
        EXPECT_EQ(popup.Text(), "");
    }

    popup.SetListIndex(0);
    popup.DeleteAllRows();
    EXPECT_EQ(popup.ListCount(), 0);
    EXPECT_EQ(popup.ListIndex(), -1);
    EXPECT_EQ(popup.Text(), "");
}

TEST(PopupMenu, TheListGivesTheInitialRowsThenTheSelection) {
    fw::PopupMenu popup;
    popup.SetTextSize(12);
    fw::SetProperties(&popup, fw::PropertyListBuilder()
                                  .Text("InitialValue", "none")
                                  .Integer("ListIndex", 0)
                                  .Text("TextFont", "System")
                                  .Boolean("Bold", false)
                                  .Text("DataSource", "")
                                  .Build());
    EXPECT_EQ(popup.ListCount(), 1);
    EXPECT_EQ(popup.Text(), "none");
    EXPECT_EQ(static_cast<QComboBox*>(popup.Widget())->font().pointSizeF(), 12);

    fw::SetProperties(&popup, fw::PropertyListBuilder().Text("InitialValue", "a\rb").Build());
    EXPECT_EQ(popup.ListCount(), 2);
    EXPECT_EQ(popup.List(1), "b");
}

}  // namespace
