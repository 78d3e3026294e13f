#include "framework/bevel_button.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

#include "framework/qt_text.h"
#include "framework/runtime.h"
#include "framework/text_font_private.h"

namespace fw {

namespace {

// A push button that reports a click (a press and release inside it) before it repaints itself
// as released: Qt's own button repaints first, a round trip to the display that would delay the
// frame a click sends.
class ClickFirstButton : public QPushButton {
public:
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool clicks =
            event->button() == Qt::LeftButton && isDown() && hitButton(event->position().toPoint());
        if (clicks) {
            reported_ = true;
            onClick();
        }
        QPushButton::mouseReleaseEvent(event);
        reported_ = false;
    }

public:
    // A click Qt reports by other roads (none of the system's keys takes the focus to get one
    // from the keyboard) still raises Action once.
    void Clicked() {
        if (!reported_) {
            onClick();
        }
    }

private:
    bool reported_ = false;
};

}  // namespace

BevelButton::BevelButton() : RectControl(std::make_unique<ClickFirstButton>()) {
    auto* button = static_cast<ClickFirstButton*>(Widget());
    // A press and release inside the button: the one Action per click.
    button->onClick = [this] { Dispatch([this] { RaiseEvent("Action"); }); };
    QObject::connect(button, &QPushButton::clicked, button, [button] { button->Clicked(); });
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
    QString text = FromBytes(caption);
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
