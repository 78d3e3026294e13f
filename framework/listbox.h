// A list of text rows, one column, shown in a scrolling view.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/control.h"

namespace fw {

class Listbox : public RectControl {
public:
    Listbox();
    ~Listbox() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // Inserts a row of text at `row` (0 is the top), the rows from there on moving down.
    void InsertRow(std::int32_t row, const String& text, std::int32_t indent = 0);
    void DeleteAllRows();
    std::int32_t ListCount() const;
    // The text of a row; "" for a row that does not exist.
    String Cell(std::int32_t row) const;

    // The unit of the text size: 0 is the platform's default unit.
    std::int8_t TextUnit() const { return textUnit_; }
    void SetTextUnit(std::int8_t unit) { textUnit_ = unit; }

    void SetBorder(bool value);
    void SetScrollBarVertical(bool value);
    void SetScrollBarHorizontal(bool value);
    void SetAutoHideScrollbars(bool value);
    void SetInitialValue(const String& value);
    void SetTextFont(const String& font);

    // Design-time values the list keeps as they are: one column, no heading, no drag.
    std::int32_t ColumnCount = 1;
    String ColumnWidths;
    bool HasHeading = false;
    bool UseFocusRing = true;
    std::int32_t HeadingIndex = -1;
    std::int32_t GridLinesHorizontal = 0;
    std::int32_t GridLinesVertical = 0;
    std::int32_t DefaultRowHeight = -1;
    std::int32_t ScrollWidth = -1;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Hierarchical = false;
    bool EnableDrag = false;
    bool EnableDragReorder = false;
    bool RequiresSelection = false;
    std::int32_t SelectionType = 0;
    bool ColumnsResizable = false;
    String DataSource;
    String DataField;

private:
    struct Private;
    std::unique_ptr<Private> d_;
    std::int8_t textUnit_ = 0;
    bool scrollBarVertical_ = true;
    bool scrollBarHorizontal_ = true;
    bool autoHideScrollbars_ = true;
    void ApplyScrollBars();
};

}  // namespace fw
