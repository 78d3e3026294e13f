#include "framework/listbox.h"

#include <QFrame>

#include "framework/qt_text.h"
#include "framework/row_list_view.h"

namespace fw {

struct Listbox::Private {
    RowListView* view = nullptr;
};

Listbox::Listbox() : RectControl(std::make_unique<RowListView>()), d_(std::make_unique<Private>()) {
    d_->view = static_cast<RowListView*>(Widget());
    ApplyScrollBars();
}

Listbox::~Listbox() = default;

const ClassInfo& Listbox::Class() {
    static const ClassInfo info{
        "Listbox",
        &RectControl::Class(),
        {
            Property("Border", &Listbox::SetBorder),
            Property("ColumnCount", &Listbox::ColumnCount),
            Property("ColumnWidths", &Listbox::ColumnWidths),
            Property("HasHeading", &Listbox::HasHeading),
            Property("UseFocusRing", &Listbox::UseFocusRing),
            Property("InitialValue", &Listbox::SetInitialValue),
            Property("HeadingIndex", &Listbox::HeadingIndex),
            Property("ScrollBarHorizontal", &Listbox::SetScrollBarHorizontal),
            Property("ScrollBarVertical", &Listbox::SetScrollBarVertical),
            Property("GridLinesHorizontal", &Listbox::GridLinesHorizontal),
            Property("GridLinesVertical", &Listbox::GridLinesVertical),
            Property("DefaultRowHeight", &Listbox::DefaultRowHeight),
            Property("_ScrollWidth", &Listbox::ScrollWidth),
            Property("TextFont", &Listbox::SetTextFont),
            Property("Bold", &Listbox::Bold),
            Property("Italic", &Listbox::Italic),
            Property("Underline", &Listbox::Underline),
            Property("Hierarchical", &Listbox::Hierarchical),
            Property("EnableDrag", &Listbox::EnableDrag),
            Property("EnableDragReorder", &Listbox::EnableDragReorder),
            Property("RequiresSelection", &Listbox::RequiresSelection),
            Property("SelectionType", &Listbox::SelectionType),
            Property("ColumnsResizable", &Listbox::ColumnsResizable),
            Property("AutoHideScrollbars", &Listbox::SetAutoHideScrollbars),
            Property("DataSource", &Listbox::DataSource),
            Property("DataField", &Listbox::DataField),
        }};
    return info;
}

void Listbox::InsertRow(std::int32_t row, const String& text, std::int32_t /*indent*/) {
    d_->view->InsertRow(row, FromBytes(text));
}

void Listbox::DeleteAllRows() {
    d_->view->Clear();
}

std::int32_t Listbox::ListCount() const {
    return d_->view->Count();
}

String Listbox::Cell(std::int32_t row) const {
    if (row < 0 || row >= d_->view->Count()) {
        return {};
    }
    return ToBytes(d_->view->Row(row));
}

void Listbox::SetBorder(bool value) {
    d_->view->setFrameShape(value ? QFrame::StyledPanel : QFrame::NoFrame);
}

void Listbox::SetScrollBarVertical(bool value) {
    scrollBarVertical_ = value;
    ApplyScrollBars();
}

void Listbox::SetScrollBarHorizontal(bool value) {
    scrollBarHorizontal_ = value;
    ApplyScrollBars();
}

void Listbox::SetAutoHideScrollbars(bool value) {
    autoHideScrollbars_ = value;
    ApplyScrollBars();
}

void Listbox::ApplyScrollBars() {
    const Qt::ScrollBarPolicy shown =
        autoHideScrollbars_ ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
    d_->view->setVerticalScrollBarPolicy(scrollBarVertical_ ? shown : Qt::ScrollBarAlwaysOff);
    d_->view->setHorizontalScrollBarPolicy(scrollBarHorizontal_ ? shown : Qt::ScrollBarAlwaysOff);
}

void Listbox::SetInitialValue(const String& value) {
    // Initial rows, one per line of the text.
    d_->view->Clear();
    if (!value.empty()) {
        const QStringList rows = FromBytes(value).split('\r', Qt::KeepEmptyParts);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            d_->view->InsertRow(int(i), rows[i]);
        }
    }
}

void Listbox::SetTextFont(const String& /*font*/) {
    // "System" and every other name show in the platform's list font.
}

}  // namespace fw
