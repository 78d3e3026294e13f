// A popup list of text rows, one of them selected.
#pragma once

#include <cstdint>

#include "framework/control.h"

namespace fw {

class PopupMenu : public RectControl {
public:
    PopupMenu();
    ~PopupMenu() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    void DeleteAllRows();
    // Appends a row; the selection stays as it was.
    void AddRow(const String& text);
    std::int32_t ListCount() const;
    // The text of a row; "" for a row that does not exist.
    String List(std::int32_t row) const;

    // The selected row, counted from 0; -1 for none. Setting a row that does not exist selects
    // none.
    std::int32_t ListIndex() const;
    void SetListIndex(std::int32_t row);
    // The selected row's text; "" with none selected.
    String Text() const;

    // In points; 0 is the framework's size for popup menus.
    float TextSize() const { return textSize_; }
    void SetTextSize(float size);
    void SetTextFont(const String& font);
    void SetBold(bool value);
    void SetItalic(bool value);
    void SetUnderline(bool value);

    // Rows, one per line (lines end with CR); they replace the rows there are.
    void SetInitialValue(const String& value);

    // Design-time values kept as set: the popup is bound to no database.
    String DataSource;
    String DataField;

private:
    void ApplyFont();

    float textSize_ = 0;
    String textFont_ = "System";
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
};

}  // namespace fw
