// The list of text rows: where rows go, what reads back, and the scroll range of a long list.
#include <gtest/gtest.h>

#include <QScrollBar>

#include "framework/listbox.h"
#include "framework/row_list_view.h"

namespace {

std::vector<std::string> RowsOf(const fw::Listbox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.ListCount(); ++i) {
        rows.push_back(list.Cell(i));
    }
    return rows;
}

TEST(Listbox, RowsGoWhereTheyAreInsertedAndReadBackByteForByte) {
    fw::Listbox list;
    list.InsertRow(0, "older");
    list.InsertRow(0, "newest");
    list.InsertRow(1, "between");
    list.InsertRow(99, "last");   // past the end: appended
    list.InsertRow(-4, "first");  // before the start: on top
    list.InsertRow(0, "caf\xC3\xA9 02 00 ");
    EXPECT_EQ(RowsOf(list), (std::vector<std::string>{"caf\xC3\xA9 02 00 ", "first", "newest",
                                                      "between", "older", "last"}));
    EXPECT_EQ(list.Cell(6), "");
    EXPECT_EQ(list.Cell(-1), "");
    list.DeleteAllRows();
    EXPECT_EQ(list.ListCount(), 0);
}

TEST(Listbox, ALongListScrollsOverAllItsRows) {
    fw::Listbox list;
    list.SetWidth(242);
    list.SetHeight(100);
    auto* view = static_cast<fw::RowListView*>(list.Widget());
    view->resize(242, 100);
    for (int i = 0; i < 1000; ++i) {
        list.InsertRow(0, "02 BA 15 00 D1 ");
    }
    const QScrollBar* bar = view->verticalScrollBar();
    EXPECT_GT(bar->maximum(), 900);
    EXPECT_LT(bar->maximum(), 1000);
    list.DeleteAllRows();
    EXPECT_EQ(bar->maximum(), 0);
}

}  // namespace
