// Finding the controller's port by name and opening it, by its place in the machine's list or as
// found by name.
#include "framework/serial.h"
#include "framework/text.h"
#include "link/named_controls.h"
#include "panel/zq8.h"
#include "settings/config.h"

namespace {

// The port is closed; opens the one given, and names it in the title and the settings on success.
void OpenAndRecord(fw::Serial& serialc, std::shared_ptr<fw::SerialPort> port) {
    serialc.SetSerialPort(std::move(port));
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

}  // namespace

// The start's lookup of its stored name. It gives the port rather than its index: an index is a
// place after all the system's ports, which only a listing of every tty could tell, and a start
// needs none.
std::shared_ptr<fw::SerialPort> zq8::getserialport(const fw::String& name) {
    return fw::System::SerialPortNamed(name);
}

void zq8::opencontrollerport(std::int32_t n) {
    fw::Serial& serialc = zq8link::SerialcOn(*this);
    const bool wasOpen = serialc.IsOpen();
    serialc.Close();
    // "none" in the port dialog: the port stays closed, and the next start still reopens the
    // port named in the settings. The title must not name a port that takes no more frames.
    if (n < 0) {
        if (wasOpen) {
            zq8::zq8_()->SetTitle("ZQ8");
        }
        return;
    }
    // No test against the count: a list that shrank since the dialog showed it gives a port that
    // does not open, which ends like any other failure.
    OpenAndRecord(serialc, fw::System::SerialPort(n));
}

void zq8::opencontrollerport(std::shared_ptr<fw::SerialPort> port) {
    fw::Serial& serialc = zq8link::SerialcOn(*this);
    serialc.Close();
    // A stored port that is no longer there: closed, and the title from before stays.
    if (port == nullptr) {
        return;
    }
    OpenAndRecord(serialc, std::move(port));
}
