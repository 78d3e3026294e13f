#include "framework/bevel_button.h"

#include <QApplication>
#include <QPushButton>

#include "framework/runtime.h"
#include "framework/text_font_private.h"

namespace fw {

BevelButton::BevelButton() : RectControl(std::make_unique<QPushButton>()) {
    auto* button = static_cast<QPushButton*>(Widget());
    // A press and release inside the button: the one Action per click.
    QObject::connect(button, &QPushButton::clicked, button,
                     [this] { Dispatch([this] { RaiseEvent("Action"); }); });
    ApplyFont();
}

BevelButton::~BevelButton() = default;

const ClassInfo& BevelButton::Class() {
    static const ClassInfo info{"BevelButton",
                                &RectControl::Class(),
                                {
                                    Property("Caption", &BevelButton::SetCaption),
                                    Property("CaptionAlign", &BevelButton::CaptionAlign),
                                    Property("CaptionPlacement", &BevelButton::CaptionPlacement),
                                    Property("CaptionDelta", &BevelButton::CaptionDelta),
                                    Property("IconAlign", &BevelButton::IconAlign),
                                    Property("IconDX", &BevelButton::IconDX),
                                    Property("IconDY", &BevelButton::IconDY),
                                    Property("Bevel", &BevelButton::Bevel),
                                    Property("HasMenu", &BevelButton::HasMenu),
                                    Property("Value", &BevelButton::Value),
                                    Property("MenuValue", &BevelButton::MenuValue),
                                    Property("ButtonType", &BevelButton::ButtonType),
                                    Property("AcceptFocus", &BevelButton::SetAcceptFocus),
                                    Property("TextFont", &BevelButton::SetTextFont),
                                    Property("Bold", &BevelButton::SetBold),
                                    Property("Italic", &BevelButton::SetItalic),
                                    Property("Underline", &BevelButton::SetUnderline),
                                }};
    return info;
}

void BevelButton::SetCaption(const String& caption) {
    caption_ = caption;
    QString text = QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    text.replace('&', "&&");
    static_cast<QPushButton*>(Widget())->setText(text);
}

void BevelButton::SetTextSize(float size) {
    textSize_ = size;
    ApplyFont();
}

void BevelButton::SetTextFont(const String& font) {
    textFont_ = font;
    ApplyFont();
}

void BevelButton::SetBold(bool value) {
    bold_ = value;
    ApplyFont();
}

void BevelButton::SetItalic(bool value) {
    italic_ = value;
    ApplyFont();
}

void BevelButton::SetUnderline(bool value) {
    underline_ = value;
    ApplyFont();
}

void BevelButton::SetAcceptFocus(bool value) {
    acceptFocus_ = value;
    Widget()->setFocusPolicy(value ? Qt::StrongFocus : Qt::NoFocus);
}

void BevelButton::ApplyFont() {
    Widget()->setFont(MakeFont({textFont_, textSize_, bold_, italic_, underline_},
                               QApplication::font("QPushButton"), kButtonTextSize));
}

}  // namespace fw
