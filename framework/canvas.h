// A drawn control: what it shows is a backing image of its own size, at its screen's scale,
// drawn into through its Graphics at any time and shown on every repaint.
#pragma once

#include <cstdint>
#include <memory>

#include "framework/control.h"
#include "framework/picture.h"

namespace fw {

class Graphics;

class Canvas : public RectControl {
public:
    Canvas();
    ~Canvas() override;

    static const ClassInfo& Class();
    const ClassInfo& GetClassInfo() const override { return Class(); }

    // The events; a subclass overrides those it handles.
    virtual void Event_Open() {}
    // Raised whenever the control is repainted, before the backing image is shown.
    virtual void Event_Paint(fw::Graphics& /*g*/) {}
    // Raised by a press of the left mouse button, at a position relative to the control.
    virtual bool Event_MouseDown(std::int32_t /*x*/, std::int32_t /*y*/) { return false; }

    void RaiseOpen() override { Event_Open(); }

    // The control's own drawing context, on its backing image; what it draws shows at the next
    // repaint, which it schedules, so a drawing made outside Paint shows at once. nullptr while
    // the control has no area.
    fw::Graphics* Graphics();

    // The pixel of the backing image at (x, y): what the control shows there, transparent where
    // nothing was drawn.
    PixelColor Pixel(std::int32_t x, std::int32_t y) const;

    bool AcceptFocus() const { return acceptFocus_; }
    void SetAcceptFocus(bool value);
    // Design-time values kept as set: the control draws its whole area itself, takes no Tab
    // key and shows no focus ring of its own.
    bool AcceptTabs = false;
    bool EraseBackground = true;
    bool UseFocusRing = true;

    struct Private;
    Private& GetPrivate() const { return *d_; }

private:
    std::unique_ptr<Private> d_;
    bool acceptFocus_ = false;
};

}  // namespace fw
