// How the machine's list of serial ports is made (framework use only, and the tests').
//
// The system's own ports come from the kernel's tty class folder, /sys/class/tty, with their
// device nodes in /dev. ZQ8_SYSTEM_ROOT, when set, names a folder that stands for "/" in both
// paths: ZQ8_SYSTEM_ROOT=/tmp/x lists /tmp/x/sys/class/tty and opens /tmp/x/dev/<name>. The
// tests lay out such a folder as the kernel lays out sysfs (tests/support/fake_system_ports.h),
// with dev/<name> as a link to a pseudo-terminal, to set the system's ports themselves; nothing
// else reads the variable. The ports of ZQ8_SERIAL_PORTS follow the system's in the list,
// whatever the root.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/object.h"

namespace fw {

class SerialPort;

struct PortEntry {
    String name;
    String devicePath;
};

// What the kernel tells of one tty, as far as deciding whether it is a serial port needs.
struct TtyFacts {
    std::string name;
    // The tty hangs on a device of its own (a UART slot, a USB adapter), not on the virtual bus.
    bool hasParentDevice = false;
    // For a port of the serial core (the 8250 slots and other UARTs): the UART type it
    // publishes, 0 when the slot has no UART behind it. None for other drivers' ttys, or when
    // the kernel does not let this user read it.
    std::optional<int> uartType;
};

// Whether a tty is one of the machine's serial ports: a tty on a device of its own, unless the
// serial core says no UART is behind it (the 8250 driver makes a tty for every slot it reserves,
// 4 or 32 of them, fitted or not); of the ttys without one, only those of the Bluetooth (rfcomm0
// to rfcomm255), null-modem (tnt) and USB gadget (ttyGS) drivers, whose ports hang on the
// virtual bus. Nothing here depends on the device's driver, whose name changed with the kernel's
// layout of the 8250 ports ("serial8250" before 6.5, the serial core's "port" since).
bool IsSerialPort(const TtyFacts& tty);

// Every serial port of the system, in order of their names.
std::vector<PortEntry> ListSystemPorts();
// The system's port of that name, checked alone as ListSystemPorts would check it.
std::optional<PortEntry> FindSystemPort(std::string_view name);
// Whether a port taken from the list is still on it, on the same device: a system port whose
// tty is still there, or a path still in ZQ8_SERIAL_PORTS.
bool IsStillListed(const SerialPort& port);

// The device paths of ZQ8_SERIAL_PORTS (colon-separated), in the order given. Empty entries are
// skipped; so is an entry holding CR or LF, which no port name may hold, with one line on
// stderr the first time the run meets it.
std::vector<PortEntry> ListedPorts();

// How often the run has listed the system's ports and read ZQ8_SERIAL_PORTS: the tests count
// them to see that one listing serves a whole lookup or refresh, and that a start with no port
// stored lists none.
struct ListingCounts {
    std::uint64_t systemListings = 0;
    std::uint64_t listedReads = 0;
};
ListingCounts SerialPortListingCounts();

}  // namespace fw
