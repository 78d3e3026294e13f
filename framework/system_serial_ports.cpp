// The system's own serial ports, read from the kernel's tty class folder: one directory read, and
// for a tty on a device of its own one attribute file. No device node is opened: opening a UART
// can toggle its modem lines, and a port the user may not open must still be listed.
#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "framework/serial_port_private.h"

namespace fw {

namespace {

namespace fs = std::filesystem;

// The serial core's UART type of a slot with nothing fitted behind it.
constexpr int kUnknownUart = 0;

// "" for the real system, so that the paths stay /sys/class/tty and /dev/<name>.
std::string SystemRoot() {
    const char* root = std::getenv("ZQ8_SYSTEM_ROOT");
    return root != nullptr ? root : "";
}

fs::path TtyClassFolder() {
    return SystemRoot() + "/sys/class/tty";
}

std::string DeviceNode(std::string_view name) {
    return SystemRoot() + "/dev/" + std::string(name);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

bool IsRfcommName(std::string_view name) {
    constexpr std::string_view prefix = "rfcomm";
    if (!StartsWith(name, prefix) || name.size() == prefix.size()) {
        return false;
    }
    const std::string_view digits = name.substr(prefix.size());
    unsigned number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return error == std::errc() && end == digits.data() + digits.size() && number <= 255;
}

// The "type" attribute the serial core gives each of its ports, a decimal number and a line end;
// none for a tty of another driver (USB and ACM adapters), nor when it cannot be read (kernels
// that kept it from ordinary users).
std::optional<int> ReadUartType(const fs::path& tty) {
    std::ifstream in(tty / "type");
    std::string text;
    if (!in || !std::getline(in, text)) {
        return std::nullopt;
    }
    int type = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), type);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return type;
}

// The facts of the tty of that name in the class folder: its "device" link leads to the device
// it hangs on; the serial core's attributes stand beside it.
TtyFacts ReadTtyFacts(const fs::path& folder, std::string_view name) {
    TtyFacts tty;
    tty.name = name;
    const fs::path entry = folder / tty.name;
    std::error_code error;
    tty.hasParentDevice = fs::is_directory(entry / "device", error);
    if (tty.hasParentDevice) {
        tty.uartType = ReadUartType(entry);
    }
    return tty;
}

}  // namespace

bool IsSerialPort(const TtyFacts& tty) {
    if (tty.hasParentDevice) {
        return tty.uartType != kUnknownUart;
    }
    return IsRfcommName(tty.name) || StartsWith(tty.name, "tnt") || StartsWith(tty.name, "ttyGS");
}

std::vector<PortEntry> ListSystemPorts() {
    const fs::path folder = TtyClassFolder();
    std::vector<PortEntry> ports;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (IsSerialPort(ReadTtyFacts(folder, name))) {
            ports.push_back({name, DeviceNode(name)});
        }
    }
    std::sort(ports.begin(), ports.end(),
              [](const PortEntry& a, const PortEntry& b) { return a.name < b.name; });
    return ports;
}

std::optional<PortEntry> FindSystemPort(std::string_view name) {
    // Only a plain entry of the folder can be a tty: no path, and not the folder itself.
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos) {
        return std::nullopt;
    }
    const fs::path folder = TtyClassFolder();
    std::error_code error;
    if (!fs::exists(fs::symlink_status(folder / name, error))) {
        return std::nullopt;
    }
    if (!IsSerialPort(ReadTtyFacts(folder, name))) {
        return std::nullopt;
    }
    return PortEntry{String(name), DeviceNode(name)};
}

}  // namespace fw
