#include <QCoreApplication>
#include <QPointer>

#include <optional>

#include "framework/serial.h"
#include "framework/serial_port_private.h"
#include "framework/text.h"

namespace fw {

namespace {

ListingCounts counts;

// One listing serves the rest of the event that took it: a lookup asks for the count and then
// for each port in turn, and the port dialog for one row a port, so that listing afresh at each
// call made a dialog of 5,000 ports freeze for seconds. It is dropped once control is back in
// the event loop, so a port plugged in meanwhile shows at the next Refresh.
class EventListing {
public:
    const std::vector<PortEntry>& Ports() {
        // Without an event loop (or after it ended) no event marks the end of a call's use.
        if (ports_ && (takenUnder_.isNull() || takenUnder_ != QCoreApplication::instance())) {
            ports_.reset();
        }
        if (!ports_) {
            ports_ = ListSystemPorts();
            ++counts.systemListings;
            const std::vector<PortEntry> listed = ListedPorts();
            ++counts.listedReads;
            ports_->insert(ports_->end(), listed.begin(), listed.end());
            DropOnceBackInTheEventLoop();
        }
        return *ports_;
    }

private:
    void DropOnceBackInTheEventLoop() {
        takenUnder_ = QCoreApplication::instance();
        if (!takenUnder_.isNull()) {
            QMetaObject::invokeMethod(
                takenUnder_, [this] { ports_.reset(); }, Qt::QueuedConnection);
        }
    }

    std::optional<std::vector<PortEntry>> ports_;
    QPointer<QCoreApplication> takenUnder_;
};

EventListing& Listing() {
    static EventListing listing;
    return listing;
}

std::shared_ptr<fw::SerialPort> MakePort(const PortEntry& entry) {
    return std::make_shared<fw::SerialPort>(entry.name, entry.devicePath);
}

}  // namespace

ListingCounts SerialPortListingCounts() {
    return counts;
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
    return std::int32_t(Listing().Ports().size());
}

std::shared_ptr<fw::SerialPort> SerialPort(std::int32_t index) {
    const std::vector<PortEntry>& ports = Listing().Ports();
    if (index < 0 || std::size_t(index) >= ports.size()) {
        return std::make_shared<fw::SerialPort>(String(), String());
    }
    return MakePort(ports[std::size_t(index)]);
}

std::shared_ptr<fw::SerialPort> SerialPortNamed(const String& name) {
    // Empty entries of ZQ8_SERIAL_PORTS are skipped and the system names no port so.
    if (name.empty()) {
        return nullptr;
    }
    // The system's names are names of files in one folder: a path is one of ZQ8_SERIAL_PORTS.
    if (name.find('/') == String::npos) {
        if (const std::optional<PortEntry> port = FindSystemPort(name)) {
            return MakePort(*port);
        }
    }
    ++counts.listedReads;
    for (const PortEntry& entry : ListedPorts()) {
        if (StringEquals(entry.name, name)) {
            return MakePort(entry);
        }
    }
    return nullptr;
}

}  // namespace System

}  // namespace fw
