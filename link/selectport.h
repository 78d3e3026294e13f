// The port dialog: "none" and the machine's serial ports in a popup, "OK" and "Refresh".
#pragma once

#include <cstdint>
#include <memory>

#include "framework/window.h"

namespace fw {
class BevelButton;
class PopupMenu;
}  // namespace fw

class selectport : public fw::Window {
public:
    static const fw::ClassInfo& Class();
    const fw::ClassInfo& GetClassInfo() const override { return Class(); }

    // The implicit instance: the live dialog, or a new one, built and opened.
    static std::shared_ptr<selectport> selectport_();

    // The popup row chosen at the last OK: 0 is "none", row r the port with index r - 1.
    std::int32_t SelectedIndex = 0;
    // The text of that row.
    fw::String portname;

    fw::PopupMenu& SerialPopup() const;
    fw::BevelButton& BevelButton1() const;
    fw::BevelButton& refresh() const;

    void Layout() override;
    void CreateControls() override;
    void CreateControls0();
    void BevelButton1_Action(fw::BevelButton& button);
    void refresh_Action(fw::BevelButton& button);
    void Event_Open() override;
    void Event_Activate() override;
    void Event_Close() override;
    void refreshportlist();
};
