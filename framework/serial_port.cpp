#include "framework/serial.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace fw {

namespace {

struct PortEntry {
    String name;
    String devicePath;
};

// Virtual ports (pseudo-terminals, socat) that the system's listing does not show.
void AppendListedPaths(std::vector<PortEntry>& ports) {
    const char* listed = std::getenv("ZQ8_SERIAL_PORTS");
    if (listed == nullptr) {
        return;
    }
    std::string_view rest(listed);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view path = rest.substr(0, colon);
        if (!path.empty()) {
            ports.push_back({String(path), String(path)});
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
}

// The system's own listing reads every terminal device in /sys (about 10 ms), and a lookup by
// name asks for the list once for the count and once per port. A listing younger than this
// serves them all: no port comes or goes between the calls of one lookup that a person made.
constexpr std::chrono::milliseconds kListingLifetime{250};

std::vector<PortEntry> SystemPorts() {
    using Clock = std::chrono::steady_clock;
    static std::vector<PortEntry> ports;
    static Clock::time_point listedAt;
    static bool listed = false;
    const Clock::time_point now = Clock::now();
    if (!listed || now - listedAt > kListingLifetime) {
        ports.clear();
        for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
            ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString()});
        }
        std::stable_sort(ports.begin(), ports.end(),
                         [](const PortEntry& a, const PortEntry& b) { return a.name < b.name; });
        listedAt = now;
        listed = true;
    }
    return ports;
}

std::vector<PortEntry> MachinePorts() {
    std::vector<PortEntry> ports = SystemPorts();
    AppendListedPaths(ports);
    return ports;
}

}  // namespace

SerialPort::SerialPort(String name, String devicePath)
    : name_(std::move(name)), devicePath_(std::move(devicePath)) {}

SerialPort::~SerialPort() = default;

const ClassInfo& SerialPort::Class() {
    static const ClassInfo info{"SerialPort", &Object::Class(), {}};
    return info;
}

namespace System {

std::int32_t SerialPortCount() {
    return std::int32_t(MachinePorts().size());
}

std::shared_ptr<fw::SerialPort> SerialPort(std::int32_t index) {
    std::vector<PortEntry> ports = MachinePorts();
    if (index < 0 || std::size_t(index) >= ports.size()) {
        return std::make_shared<fw::SerialPort>(String(), String());
    }
    PortEntry& entry = ports[std::size_t(index)];
    return std::make_shared<fw::SerialPort>(std::move(entry.name), std::move(entry.devicePath));
}

}  // namespace System

}  // namespace fw
