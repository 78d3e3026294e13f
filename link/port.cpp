// Finding the controller's port by name, and opening it by its place in the machine's list.
#include "framework/serial.h"
#include "framework/text.h"
#include "link/named_controls.h"
#include "panel/zq8.h"
#include "settings/config.h"

std::int32_t zq8::getserialnum(const fw::String& name) {
    // No port has an empty name (the system's are file names, and empty entries of
    // ZQ8_SERIAL_PORTS are skipped), so a start with no port stored lists nothing.
    if (name.empty()) {
        return -1;
    }
    const std::int32_t count = fw::System::SerialPortCount();
    for (std::int32_t i = 0; i < count; ++i) {
        if (fw::StringEquals(fw::Require(fw::System::SerialPort(i).get(), "SerialPort").Name(),
                             name)) {
            return i;
        }
    }
    return -1;
}

void zq8::opencontrollerport(std::int32_t n) {
    fw::Serial& serialc = zq8link::SerialcOn(*this);
    const bool wasOpen = serialc.IsOpen();
    const std::shared_ptr<fw::SerialPort> closing = serialc.SerialPort();
    serialc.Close();
    if (n < 0) {
        // "none" in the port dialog: the port stays closed, and the next start still reopens the
        // port named in the settings. A title naming the closed port would lie; any other (the
        // protocol's) stays.
        if (wasOpen && closing != nullptr) {
            const std::shared_ptr<zq8> mainWindow = zq8::zq8_();
            if (mainWindow->Title() == "ZQ8-" + closing->Name()) {
                mainWindow->SetTitle("ZQ8");
            }
        }
        return;
    }
    const std::shared_ptr<zq8> mainWindow = zq8::zq8_();
    // The index is a place in the list last taken, the one the dialog showed or the lookup
    // searched; one off that list gives a port that does not open.
    serialc.SetSerialPort(fw::System::SerialPort(n));
    if (serialc.Open()) {
        // The name of the port actually opened.
        const fw::String name = fw::Require(serialc.SerialPort().get(), "SerialPort").Name();
        mainWindow->SetTitle("ZQ8-" + name);
        config::putconfig("controlport", fw::StringToVariant(name));
    } else {
        mainWindow->SetTitle("ZQ8");
    }
}
