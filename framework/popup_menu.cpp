#include "framework/popup_menu.h"

#include <QApplication>
#include <QComboBox>

#include "framework/qt_text.h"
#include "framework/text_font_private.h"

namespace fw {

PopupMenu::PopupMenu() : RectControl(std::make_unique<QComboBox>()) {
    ApplyFont();
}

PopupMenu::~PopupMenu() = default;

const ClassInfo& PopupMenu::Class() {
    static const ClassInfo info{"PopupMenu",
                                &RectControl::Class(),
                                {
                                    Property("InitialValue", &PopupMenu::SetInitialValue),
                                    Property("ListIndex", &PopupMenu::SetListIndex),
                                    Property("TextFont", &PopupMenu::SetTextFont),
                                    Property("Bold", &PopupMenu::SetBold),
                                    Property("Italic", &PopupMenu::SetItalic),
                                    Property("Underline", &PopupMenu::SetUnderline),
                                    Property("DataSource", &PopupMenu::DataSource),
                                    Property("DataField", &PopupMenu::DataField),
                                }};
    return info;
}

void PopupMenu::DeleteAllRows() {
    static_cast<QComboBox*>(Widget())->clear();
}

void PopupMenu::AddRow(const String& text) {
    auto* combo = static_cast<QComboBox*>(Widget());
    // The combo box selects the first row added to it; a new row selects nothing here.
    const int selected = combo->currentIndex();
    combo->addItem(FromBytes(text));
    combo->setCurrentIndex(selected);
}

std::int32_t PopupMenu::ListCount() const {
    return static_cast<QComboBox*>(Widget())->count();
}

String PopupMenu::List(std::int32_t row) const {
    const auto* combo = static_cast<QComboBox*>(Widget());
    if (row < 0 || row >= combo->count()) {
        return {};
    }
    return ToBytes(combo->itemText(row));
}

std::int32_t PopupMenu::ListIndex() const {
    return static_cast<QComboBox*>(Widget())->currentIndex();
}

void PopupMenu::SetListIndex(std::int32_t row) {
    auto* combo = static_cast<QComboBox*>(Widget());
    combo->setCurrentIndex(row >= 0 && row < combo->count() ? row : -1);
}

String PopupMenu::Text() const {
    return ToBytes(static_cast<QComboBox*>(Widget())->currentText());
}

void PopupMenu::SetTextSize(float size) {
    textSize_ = size;
    ApplyFont();
}

void PopupMenu::SetTextFont(const String& font) {
    textFont_ = font;
    ApplyFont();
}

void PopupMenu::SetBold(bool value) {
    bold_ = value;
    ApplyFont();
}

void PopupMenu::SetItalic(bool value) {
    italic_ = value;
    ApplyFont();
}

void PopupMenu::SetUnderline(bool value) {
    underline_ = value;
    ApplyFont();
}

void PopupMenu::SetInitialValue(const String& value) {
    DeleteAllRows();
    if (value.empty()) {
        return;
    }
    for (const QString& row : FromBytes(value).split('\r')) {
        AddRow(ToBytes(row));
    }
}

void PopupMenu::ApplyFont() {
    Widget()->setFont(MakeFont({textFont_, textSize_, bold_, italic_, underline_},
                               QApplication::font("QComboBox"), kButtonTextSize));
}

}  // namespace fw
