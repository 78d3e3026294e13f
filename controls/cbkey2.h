// The drawn key: a filled key with rounded corners and a black outline that raises Action the
// moment the mouse is pressed on it. It draws no text; the text attributes are kept as set.
#pragma once

#include <cstdint>

#include "framework/canvas.h"

class cbkey2 : public fw::Canvas {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // Body colour while lit; setcolor changes it.
    fw::Color litcolor = fw::Color::FromValue(0x00FF40);
    // Body colour while not lit.
    fw::Color offcolor = fw::Color::FromValue(0xD0D0D0);
    bool lit = true;
    fw::String Textfont = "tahoma";
    fw::Color TextLitcolor = fw::Color::FromValue(0x000000);
    fw::Color TextOffColor = fw::Color::FromValue(0x000000);
    // Follows the height (see setheight); gives the width of the cursor cell.
    std::int32_t textsize = 12;
    bool Bold = true;
    bool underline = false;
    bool Italic = false;
    std::int32_t deltay = -5;
    // When true, redraw marks the cursor cell in the other body colour.
    bool highlight = false;
    // The cursor cell's place, counted in cells.
    std::int32_t kursor = 0;
    // The key code the key sends, once a key code table gave it one.
    std::int32_t Tag = 0;
    // Set by whoever gives the key its code (the key code tables). Tag's 0 from creation is a
    // real code, so a key that was never given one is told by this, not by a value of Tag.
    bool tagset = false;

    // Redraws the whole key; the Graphics handed over is not used, redraw draws on the key's own.
    void Event_Paint(fw::Graphics& g) override;
    // The text size from the height, whatever the property list set; draws nothing.
    void Event_Open() override;
    // Raises Action when a handler is bound to it; never handled, so always false.
    bool Event_MouseDown(std::int32_t x, std::int32_t y) override;

    // Draws the key afresh in an off-screen picture and copies it onto the key. A missing picture
    // or drawing context raises NilObjectException with the key on screen unchanged.
    virtual void redraw();
    // Each draws at once, and only when the value changes.
    virtual void setlit(bool value);
    virtual void setkursor(std::int32_t value);
    // "red", "lime", "yellow" or "blue", compared exactly; any other name keeps the colours.
    // Draws in every case.
    virtual void setcolor(const fw::String& name);
    // Resizes the key and takes the text size from the height it then has; draws nothing.
    virtual void setheight(std::int32_t height);
};
