// The Options menu's commands, bound to their items by name.
#include "framework/exceptions.h"
#include "framework/listbox.h"
#include "framework/menu.h"
#include "link/selectport.h"
#include "panel/zq8.h"

namespace {

// The heights of the window with the command log hidden and shown.
constexpr std::int32_t kLogHiddenHeight = 474;
constexpr std::int32_t kLogShownHeight = 584;
constexpr std::int32_t kLogThreshold = 500;

}  // namespace

void zq8::AddMenuHandlers(fw::Window& window) {
    auto& w = dynamic_cast<zq8&>(window);
    const std::pair<const char*, bool (zq8::*)()> commands[] = {
        {"ViewSelectPort", &zq8::ViewSelectPort_Action},
        {"remenable", &zq8::remenable_Action},
        {"remdisable", &zq8::remdisable_Action},
        {"Optionsviewcmds", &zq8::Optionsviewcmds_Action},
        {"ProtocolSonySirc", &zq8::ProtocolSonySirc_Action},
        {"ProtocolPhillipsRC6", &zq8::ProtocolPhillipsRC6_Action},
    };
    for (const auto& [name, command] : commands) {
        AddMenuHandler(name, [&w, command = command] { return (w.*command)(); });
    }
}

bool zq8::ViewSelectPort_Action() {
    const auto dialog = selectport::selectport_();
    fw::Require(dialog.get(), "selectport").ShowModal();
    if (!dialog->ModalShowingEndedByHide()) {
        return true;  // the run is ending: no choice was made, and no port is to open
    }
    const std::int32_t chosen =
        fw::Require(selectport::selectport_().get(), "selectport").SelectedIndex;
    // In 32-bit arithmetic: row 0, "none", gives -1.
    opencontrollerport(static_cast<std::int32_t>(static_cast<std::uint32_t>(chosen) - 1u));
    return true;
}

bool zq8::remenable_Action() {
    fw::Require(remenable(), "remenable").SetChecked(true);
    fw::Require(remdisable(), "remdisable").SetChecked(false);
    write2eeprom(1, 5, 0);
    return true;
}

bool zq8::remdisable_Action() {
    fw::Require(remenable(), "remenable").SetChecked(false);
    fw::Require(remdisable(), "remdisable").SetChecked(true);
    write2eeprom(1, 5, 1);
    return true;
}

bool zq8::Optionsviewcmds_Action() {
    if (Height() < kLogThreshold) {
        SetHeight(kLogShownHeight);
    } else {
        Listbox1().DeleteAllRows();
        SetHeight(kLogHiddenHeight);
    }
    return true;
}

bool zq8::ProtocolSonySirc_Action() {
    setzq8lang(0);
    return true;
}

bool zq8::ProtocolPhillipsRC6_Action() {
    setzq8lang(1);
    return true;
}
