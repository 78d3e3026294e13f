#include "link/selectport.h"

#include "framework/bevel_button.h"
#include "framework/exceptions.h"
#include "framework/popup_menu.h"
#include "framework/property_list.h"
#include "framework/serial.h"
#include "link/selectport_properties.h"
#include "settings/config.h"

namespace {

// The text size of the dialog's controls, a value the property lists cannot carry.
constexpr float kTextSize = 12.0f;

template <class T>
T& Find(const selectport& dialog, std::string_view name) {
    return fw::Require(dynamic_cast<T*>(dialog.ControlByName(name)), name);
}

}  // namespace

const fw::ClassInfo& selectport::Class() {
    static const fw::ClassInfo info{"selectport.selectport", &fw::Window::Class(), {}};
    return info;
}

std::shared_ptr<selectport> selectport::selectport_() {
    return fw::ImplicitInstance<selectport>();
}

fw::PopupMenu& selectport::SerialPopup() const {
    return Find<fw::PopupMenu>(*this, "SerialPopup");
}

fw::BevelButton& selectport::BevelButton1() const {
    return Find<fw::BevelButton>(*this, "BevelButton1");
}

fw::BevelButton& selectport::refresh() const {
    return Find<fw::BevelButton>(*this, "refresh");
}

void selectport::Layout() {
    fw::SetProperties(this, SelectPortProperties());
}

void selectport::CreateControls() {
    CreateControls0();
}

void selectport::CreateControls0() {
    auto& popup = New<fw::PopupMenu>();
    popup.Constructor();
    AddControl("SerialPopup", popup);
    SerialPopup().SetTextSize(kTextSize);
    fw::SetProperties(&SerialPopup(), SerialPopupProperties());

    const std::pair<const char*, void (selectport::*)(fw::BevelButton&)> buttons[] = {
        {"BevelButton1", &selectport::BevelButton1_Action},
        {"refresh", &selectport::refresh_Action},
    };
    for (const auto& [name, handler] : buttons) {
        auto& button = New<fw::BevelButton>();
        button.Constructor();
        AddControl(name, button);
        fw::BevelButton& found = Find<fw::BevelButton>(*this, name);
        found.SetTextSize(kTextSize);
        fw::SetProperties(&found, std::string_view(name) == "refresh" ? RefreshProperties()
                                                                      : BevelButton1Properties());
        fw::InstallInstanceEventHandler(Find<fw::BevelButton>(*this, name), "Action",
                                        fw::WindowMethod(this, handler));
    }
}

void selectport::BevelButton1_Action(fw::BevelButton& /*button*/) {
    SelectedIndex = SerialPopup().ListIndex();
    portname = SerialPopup().Text();
    fw::Require(selectport_().get(), "selectport").Hide();
}

void selectport::refresh_Action(fw::BevelButton& /*button*/) {
    refreshportlist();
}

void selectport::Event_Open() {
    selectport& dialog = fw::Require(selectport_().get(), "selectport");
    dialog.refreshportlist();
    config::getwindowpoz(dialog);
}

void selectport::Event_Activate() {
    SerialPopup().SetListIndex(0);
}

void selectport::Event_Close() {
    config::putwindowpoz(fw::Require(selectport_().get(), "selectport"));
}

void selectport::refreshportlist() {
    const std::int32_t n = fw::System::SerialPortCount();
    fw::PopupMenu& popup = SerialPopup();
    popup.DeleteAllRows();
    popup.AddRow("none");
    for (std::int32_t i = 0; i < n; ++i) {
        popup.AddRow(fw::Require(fw::System::SerialPort(i).get(), "serial port").Name());
    }
    popup.SetListIndex(0);
}
