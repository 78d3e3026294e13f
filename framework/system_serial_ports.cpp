// The system's own serial ports, read from the kernel's tty class folder: one directory read
// and one link per tty, where the desktop's device database costs a hundred system calls a tty.
#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "framework/serial_port_private.h"

namespace fw {

namespace {

namespace fs = std::filesystem;

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

// Only an ioctl on the device node tells whether serial8250 found a UART behind a slot.
bool NeedsUartCheck(const TtyFacts& tty) {
    return tty.hasParentDevice && tty.parentDriver == "serial8250";
}

bool KnownUart(const std::string& deviceNode) {
    const int fd = ::open(deviceNode.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    serial_struct info{};
    const bool known = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return known;
}

// The facts of the tty of that name in the class folder: its "device" link leads to the device
// it hangs on, whose "driver" link names the driver.
TtyFacts ReadTtyFacts(const fs::path& folder, std::string_view name) {
    TtyFacts tty;
    tty.name = name;
    const fs::path device = folder / tty.name / "device";
    std::error_code error;
    tty.hasParentDevice = fs::is_directory(device, error);
    if (tty.hasParentDevice) {
        tty.parentDriver = fs::read_symlink(device / "driver", error).filename().string();
        if (NeedsUartCheck(tty)) {
            tty.knownUart = KnownUart(DeviceNode(name));
        }
    }
    return tty;
}

}  // namespace

bool IsSerialPort(const TtyFacts& tty) {
    if (tty.hasParentDevice) {
        return !NeedsUartCheck(tty) || tty.knownUart;
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
