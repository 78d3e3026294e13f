// The system's own serial ports as a test sets them: a folder standing for "/", laid out as the
// kernel lays out sysfs and /dev for each kind of tty, which the framework lists instead of this
// machine's while ZQ8_SYSTEM_ROOT names it. Every test program starts on an empty one, so no test
// sees the host's ports.
//
// The layouts are the kernel's own, down to the links and files a reader of sysfs may go by: the
// class folder's relative link into /sys/devices, the tty's "device" and "subsystem" links, the
// drivers' links into /sys/bus, the uevent and dev files, and for the serial core's ports the
// attribute files (type, line, port, irq, iomem_base, uartclk...). Each tty's device node in
// dev/ is a link to a node the test gives, such as a pseudo-terminal's device side.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zq8test {

// The serial core's UART types a test needs: no UART behind the slot, and the 16550A of nearly
// every PC.
inline constexpr int kNoUart = 0;
inline constexpr int kUart16550A = 4;

// Where the kernel puts an 8250 port.
enum class Uart8250Layout {
    // Kernels before 6.5: the tty hangs on its bus device, the platform device "serial8250"
    // (slots the driver reserves or probed itself) or a PNP device the firmware names.
    BeforeSerialBase,
    // Since 6.5: on a "serial-base" port device (driver "port") under a controller device
    // (driver "ctrl") under that bus device.
    SerialBase,
};

enum class Uart8250Parent { Platform, Pnp };

// Lays out ttys under a root folder; holds no state of its own, so that separate runs (the
// end-to-end scripts' tool) can add to one root and remove from it.
class SystemRootLayout {
public:
    explicit SystemRootLayout(std::filesystem::path root);

    // An 8250 slot ttyS<line>, with the UART type the serial core found there.
    void AddUart8250(const std::string& name, const std::string& node, Uart8250Layout layout,
                     Uart8250Parent parent, int uartType);
    // A USB serial adapter's port, ttyUSB<n> of the usb-serial bus, under its USB interface.
    void AddUsbSerial(const std::string& name, const std::string& node,
                      const std::string& driver = "ftdi_sio");
    // A USB modem's port (ttyACM<n>, cdc_acm), on its USB interface.
    void AddAcm(const std::string& name, const std::string& node);
    // A tty on the virtual bus, as consoles, virtual terminals and the pseudo-terminal
    // multiplexer are, and the Bluetooth, null-modem and gadget ports.
    void AddVirtualTty(const std::string& name, const std::string& node = "/dev/null");
    // Unplugged: the tty, its device node, and the USB device it came on, if any.
    void Remove(const std::string& name);

    const std::filesystem::path& Root() const { return root_; }

private:
    // The tty's folder under `parent`, with its class link, subsystem and device links and node.
    std::filesystem::path AddTty(const std::filesystem::path& parent, const std::string& name,
                                 const std::string& node, const std::string& dev);
    // A new USB device on the first free port of the root hub, with one interface of that
    // driver; gives the interface's folder.
    std::filesystem::path AddUsbInterface(const std::string& driver,
                                          const std::string& interfaceClass);

    std::filesystem::path root_;
};

class FakeSystemPorts : public SystemRootLayout {
public:
    // A fresh root with no tty yet, in force until destruction; the one in force before comes
    // back then.
    FakeSystemPorts();
    FakeSystemPorts(const FakeSystemPorts&) = delete;
    FakeSystemPorts& operator=(const FakeSystemPorts&) = delete;
    ~FakeSystemPorts();

    // A port of the kind its name tells: ttyUSB<n> a USB serial adapter, ttyACM<n> a USB modem,
    // ttyS<n> a UART the firmware names, on today's kernels.
    void AddPort(const std::string& name, const std::string& node);

private:
    std::optional<std::string> before_;
};

}  // namespace zq8test
