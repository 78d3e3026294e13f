// A push button with a caption, raising Action once per click.
#pragma once

#include <cstdint>

#include "framework/control.h"

namespace fw {

class BevelButton : public RectControl {
public:
    BevelButton();
    ~BevelButton() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // Shown at once, exactly as given: an ampersand is a character, not a shortcut mark.
    const String& Caption() const { return caption_; }
    void SetCaption(const String& caption);

    // In points; 0 is the framework's button size, at which a caption such as "Power On/Off"
    // fits a button 100 by 22.
    float TextSize() const { return textSize_; }
    void SetTextSize(float size);
    // "System" (or "") is the platform's font.
    const String& TextFont() const { return textFont_; }
    void SetTextFont(const String& font);
    bool Bold() const { return bold_; }
    void SetBold(bool value);
    bool Italic() const { return italic_; }
    void SetItalic(bool value);
    bool Underline() const { return underline_; }
    void SetUnderline(bool value);

    // False: the button never takes the keyboard focus, so typed keys stay with the window.
    bool AcceptFocus() const { return acceptFocus_; }
    void SetAcceptFocus(bool value);

    // Design-time values kept as set: every button looks alike, a push button of the platform's
    // style with its caption centred.
    std::int32_t CaptionAlign = 3;
    std::int32_t CaptionPlacement = 1;
    std::int32_t CaptionDelta = 0;
    std::int32_t IconAlign = 0;
    std::int32_t IconDX = 0;
    std::int32_t IconDY = 0;
    std::int32_t Bevel = 0;
    std::int32_t HasMenu = 0;
    std::int32_t MenuValue = 0;
    std::int32_t ButtonType = 0;
    bool Value = false;

private:
    void ApplyFont();

    String caption_;
    float textSize_ = 0;
    String textFont_ = "System";
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    bool acceptFocus_ = true;
};

}  // namespace fw
