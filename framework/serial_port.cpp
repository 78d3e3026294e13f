#include <optional>

#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "framework/text.h"

namespace fw {

namespace {

ListingCounts counts;

// The list as the last count took it. An index is a place in a list that was shown (the port
// dialog's rows) or searched (a lookup by name), so it must go on meaning that list's port after
// adapters come and go: an adapter plugged in while the dialog shows would otherwise shift the
// rows onto other ports, and the frames would go to a device the user did not choose. Only the
// next count takes the list afresh.
std::optional<std::vector<PortEntry>>& LastListing() {
    static std::optional<std::vector<PortEntry>> listing;
    return listing;
}

const std::vector<PortEntry>& TakeListing() {
    std::vector<PortEntry> ports = ListSystemPorts();
    ++counts.systemListings;
    const std::vector<PortEntry> listed = ListedPorts();
    ++counts.listedReads;
    ports.insert(ports.end(), listed.begin(), listed.end());
    return LastListing().emplace(std::move(ports));
}

const std::vector<PortEntry>& ListingInForce() {
    return LastListing() ? *LastListing() : TakeListing();
}

}  // namespace

ListingCounts SerialPortListingCounts() {
    return counts;
}

bool IsStillListed(const SerialPort& port) {
    const auto samePort = [&port](const PortEntry& entry) {
        return StringEquals(entry.name, port.Name()) && entry.devicePath == port.DevicePath();
    };
    if (const std::optional<PortEntry> system = FindSystemPort(port.Name())) {
        if (samePort(*system)) {
            return true;
        }
    }
    ++counts.listedReads;
    for (const PortEntry& entry : ListedPorts()) {
        if (samePort(entry)) {
            return true;
        }
    }
    return false;
}

SerialPort::SerialPort(String name, String devicePath)
    : name_(std::move(name)), devicePath_(std::move(devicePath)) {}

SerialPort::~SerialPort() = default;

const ClassInfo& SerialPort::Class() {
    static const ClassInfo info{"SerialPort", &Object::Class(), {}};
    return info;
}

namespace System {

std::int32_t SerialPortCount() {
    return std::int32_t(TakeListing().size());
}

std::shared_ptr<fw::SerialPort> SerialPort(std::int32_t index) {
    const std::vector<PortEntry>& ports = ListingInForce();
    if (index < 0 || std::size_t(index) >= ports.size()) {
        return std::make_shared<fw::SerialPort>(String(), String());
    }
    const PortEntry& entry = ports[std::size_t(index)];
    return std::make_shared<fw::SerialPort>(entry.name, entry.devicePath);
}

}  // namespace System

}  // namespace fw
