// Finding the controller's port by name and opening it by its place in the machine's list.
#include "framework/serial.h"
#include "framework/text.h"
#include "link/named_controls.h"
#include "panel/zq8.h"
#include "settings/config.h"

std::int32_t zq8::getserialnum(const fw::String& name) {
    // The list is taken once for the count; each port is then asked for in turn, so the first
    // of two ports with the same name wins.
    const std::int32_t count = fw::System::SerialPortCount();
    if (count <= 0) {
        return -1;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        if (fw::StringEquals(fw::System::SerialPort(i)->Name(), name)) {
            return i;
        }
    }
    return -1;
}

void zq8::opencontrollerport(std::int32_t n) {
    fw::Serial& serialc = zq8link::SerialcOn(*this);
    serialc.Close();
    // "none" in the port dialog: the port stays closed, and the next start still reopens the
    // port named in the settings.
    if (n < 0) {
        return;
    }
    // No test against the count: a list that shrank since the dialog showed it gives a port that
    // does not open, which ends like any other failure.
    serialc.SetSerialPort(fw::System::SerialPort(n));
    const std::shared_ptr<zq8> mainWindow = zq8::zq8_();
    if (serialc.Open()) {
        // The name of the port actually opened, which need not be the row the user saw.
        const fw::String name = fw::Require(serialc.SerialPort().get(), "SerialPort").Name();
        mainWindow->SetTitle("ZQ8-" + name);
        config::putconfig("controlport", fw::StringToVariant(name));
    } else {
        mainWindow->SetTitle("ZQ8");
    }
}
