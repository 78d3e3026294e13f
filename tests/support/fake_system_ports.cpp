#include "tests/support/fake_system_ports.h"

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace zq8test {

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
    std::ofstream out(file);
    out << text;
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

// sysfs links are relative, so that they hold wherever the tree stands.
void Link(const fs::path& target, const fs::path& link) {
    fs::create_symlink(target.lexically_relative(link.parent_path()), link);
}

// Every device folder has its uevent file and power folder.
void MakeDevice(const fs::path& folder, const std::string& uevent) {
    fs::create_directories(folder / "power");
    Write(folder / "uevent", uevent);
}

std::string Number(const std::string& name, const std::string& prefix) {
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) {
        throw std::invalid_argument(name + " is not a name of the form " + prefix + "<n>");
    }
    return name.substr(prefix.size());
}

// The major and minor numbers the kernel gives the virtual ttys a machine has.
std::string VirtualDev(const std::string& name) {
    if (name == "tty")
        return "5:0";
    if (name == "console")
        return "5:1";
    if (name == "ptmx")
        return "5:2";
    if (name == "ttyprintk")
        return "5:3";
    if (name.rfind("rfcomm", 0) == 0)
        return "216:" + name.substr(6);
    if (name.rfind("tty", 0) == 0 && name.size() > 3 &&
        std::isdigit(static_cast<unsigned char>(name[3]))) {
        return "4:" + name.substr(3);
    }
    return "240:0";
}

}  // namespace

SystemRootLayout::SystemRootLayout(fs::path root) : root_(std::move(root)) {
    fs::create_directories(root_ / "sys/class/tty");
    fs::create_directories(root_ / "sys/devices/virtual/tty");
    fs::create_directories(root_ / "dev");
}

namespace {

// Binds the device to a driver of that bus: the device's "driver" and "subsystem" links, and the
// driver's link back to the device.
void Bind(const fs::path& root, const fs::path& device, const std::string& bus,
          const std::string& driver) {
    const fs::path busFolder = root / "sys/bus" / bus;
    const fs::path driverFolder = busFolder / "drivers" / driver;
    fs::create_directories(driverFolder);
    fs::create_directories(busFolder / "devices");
    if (!fs::exists(fs::symlink_status(device / "driver"))) {
        Link(driverFolder, device / "driver");
        Link(busFolder, device / "subsystem");
        Link(device, driverFolder / device.filename());
        Link(device, busFolder / "devices" / device.filename());
    }
}

}  // namespace

fs::path SystemRootLayout::AddTty(const fs::path& tty, const std::string& name,
                                  const std::string& node, const std::string& dev) {
    const std::string major = dev.substr(0, dev.find(':'));
    const std::string minor = dev.substr(dev.find(':') + 1);
    MakeDevice(tty, "MAJOR=" + major + "\nMINOR=" + minor + "\nDEVNAME=" + name + "\n");
    Write(tty / "dev", dev + "\n");
    Link(root_ / "sys/class/tty", tty / "subsystem");
    Link(tty, root_ / "sys/class/tty" / name);
    fs::create_symlink(node, root_ / "dev" / name);
    return tty;
}

void SystemRootLayout::AddUart8250(const std::string& name, const std::string& node,
                                   Uart8250Layout layout, Uart8250Parent parent, int uartType) {
    const int line = std::stoi(Number(name, "ttyS"));
    fs::path device;
    std::string controller;
    if (parent == Uart8250Parent::Platform) {
        device = root_ / "sys/devices/platform/serial8250";
        MakeDevice(device, "DRIVER=serial8250\nMODALIAS=platform:serial8250\n");
        Bind(root_, device, "platform", "serial8250");
        controller = "serial8250:0";
    } else {
        // One PNP device per UART the firmware names ("PNP0501", a 16550A-compatible port).
        const std::string id = "00:0" + std::to_string(line + 1);
        device = root_ / "sys/devices/pnp0" / id;
        MakeDevice(device, "DRIVER=serial\n");
        Write(device / "id", "PNP0501\n");
        Bind(root_, device, "pnp", "serial");
        controller = id + ":0";
    }
    if (layout == Uart8250Layout::SerialBase) {
        device /= controller;
        MakeDevice(device, "DEVTYPE=ctrl\nDRIVER=ctrl\n");
        Bind(root_, device, "serial-base", "ctrl");
        // The platform device's ports are numbered by line, a PNP device's one port is 0.
        const int port = parent == Uart8250Parent::Platform ? line : 0;
        device /= controller + "." + std::to_string(port);
        MakeDevice(device, "DEVTYPE=port\nDRIVER=port\n");
        Bind(root_, device, "serial-base", "port");
    }
    const fs::path tty =
        AddTty(device / "tty" / name, name, node, "4:" + std::to_string(64 + line));
    Link(device, tty / "device");

    // The serial core's attributes, as the 8250 driver fills them: the first four slots at the
    // PC's legacy addresses whether a UART answered there or not, the others at none.
    const bool legacy = line < 4;
    const char* const ports[] = {"0x3F8", "0x2F8", "0x3E8", "0x2E8"};
    const char* const irqs[] = {"4", "3", "4", "3"};
    const bool fitted = uartType != kNoUart;
    const std::pair<const char*, std::string> attributes[] = {
        {"type", std::to_string(uartType)},
        {"line", std::to_string(line)},
        {"port", legacy ? ports[line] : "0x0"},
        {"irq", legacy ? irqs[line] : "0"},
        {"flags", fitted ? "0x10000040" : "0x10000000"},
        {"xmit_fifo_size", fitted ? "16" : "0"},
        {"uartclk", legacy || fitted ? "1843200" : "0"},
        {"close_delay", "50"},
        {"closing_wait", "3000"},
        {"custom_divisor", "0"},
        {"io_type", "0"},
        {"iomem_base", "0x0"},
        {"iomem_reg_shift", "0"},
        {"console", "N"},
    };
    for (const auto& [file, value] : attributes) {
        Write(tty / file, value + "\n");
    }
}

fs::path SystemRootLayout::AddUsbInterface(const std::string& driver,
                                           const std::string& interfaceClass) {
    const fs::path controller = root_ / "sys/devices/pci0000:00/0000:00:14.0";
    const fs::path hub = controller / "usb1";
    if (!fs::exists(hub)) {
        MakeDevice(controller, "DRIVER=xhci_hcd\nPCI_CLASS=C0330\n");
        Bind(root_, controller, "pci", "xhci_hcd");
        MakeDevice(hub, "DEVTYPE=usb_device\nDRIVER=usb\n");
        Bind(root_, hub, "usb", "usb");
    }
    int port = 1;
    while (fs::exists(hub / ("1-" + std::to_string(port)))) {
        ++port;
    }
    const std::string name = "1-" + std::to_string(port);
    const fs::path device = hub / name;
    const bool acm = driver == "cdc_acm";
    MakeDevice(device, "DEVTYPE=usb_device\nDRIVER=usb\nDEVNAME=bus/usb/001/00" +
                           std::to_string(port + 1) + "\n");
    Write(device / "idVendor", acm ? "2341\n" : "0403\n");
    Write(device / "idProduct", acm ? "0043\n" : "6001\n");
    Write(device / "product", acm ? "Arduino Uno\n" : "FT232R USB UART\n");
    Write(device / "busnum", "1\n");
    Write(device / "devnum", std::to_string(port + 1) + "\n");
    Bind(root_, device, "usb", "usb");

    const fs::path interface = device / (name + ":1.0");
    MakeDevice(interface, "DEVTYPE=usb_interface\nDRIVER=" + driver + "\n");
    Write(interface / "bInterfaceNumber", "00\n");
    Write(interface / "bInterfaceClass", interfaceClass + "\n");
    Bind(root_, interface, "usb", driver);
    return interface;
}

void SystemRootLayout::AddUsbSerial(const std::string& name, const std::string& node,
                                    const std::string& driver) {
    const std::string number = Number(name, "ttyUSB");
    // The usb-serial bus's port device between the interface and the tty.
    const fs::path port = AddUsbInterface(driver, "ff") / name;
    MakeDevice(port, "DRIVER=" + driver + "\n");
    Write(port / "port_number", "0\n");
    Bind(root_, port, "usb-serial", driver);
    const fs::path tty = AddTty(port / "tty" / name, name, node, "188:" + number);
    Link(port, tty / "device");
}

void SystemRootLayout::AddAcm(const std::string& name, const std::string& node) {
    const std::string number = Number(name, "ttyACM");
    const fs::path interface = AddUsbInterface("cdc_acm", "02");
    Write(interface / "bmCapabilities", "6\n");
    const fs::path tty = AddTty(interface / "tty" / name, name, node, "166:" + number);
    Link(interface, tty / "device");
}

void SystemRootLayout::AddVirtualTty(const std::string& name, const std::string& node) {
    const fs::path tty =
        AddTty(root_ / "sys/devices/virtual/tty" / name, name, node, VirtualDev(name));
    if (name == "console" || name == "tty0") {
        Write(tty / "active", name == "console" ? "tty0\n" : "tty1\n");
    }
}

void SystemRootLayout::Remove(const std::string& name) {
    const fs::path link = root_ / "sys/class/tty" / name;
    const fs::path tty = (link.parent_path() / fs::read_symlink(link)).lexically_normal();
    fs::remove(link);
    fs::remove(root_ / "dev" / name);
    // An unplugged adapter takes its whole USB device with it.
    fs::path gone = tty;
    for (fs::path up = tty; up != root_ / "sys/devices" && up.has_relative_path();
         up = up.parent_path()) {
        if (fs::exists(up / "idVendor")) {
            gone = up;
            break;
        }
    }
    fs::remove_all(gone);
    // The drivers' and buses' links to what went.
    std::vector<fs::path> dangling;
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "sys/bus")) {
        if (entry.is_symlink() && !fs::exists(entry.path())) {
            dangling.push_back(entry.path());
        }
    }
    for (const fs::path& path : dangling) {
        fs::remove(path);
    }
}

namespace {

fs::path MakeRoot() {
    std::string pattern = (fs::temp_directory_path() / "zq8-system-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    // Readable by all, as / is: the tests also list the ports as an ordinary user.
    ::chmod(pattern.c_str(), 0755);
    return pattern;
}

}  // namespace

FakeSystemPorts::FakeSystemPorts() : SystemRootLayout(MakeRoot()) {
    if (const char* before = std::getenv("ZQ8_SYSTEM_ROOT")) {
        before_ = before;
    }
    setenv("ZQ8_SYSTEM_ROOT", Root().c_str(), 1);
}

void FakeSystemPorts::AddPort(const std::string& name, const std::string& node) {
    if (name.rfind("ttyACM", 0) == 0) {
        AddAcm(name, node);
    } else if (name.rfind("ttyS", 0) == 0) {
        AddUart8250(name, node, Uart8250Layout::SerialBase, Uart8250Parent::Pnp, kUart16550A);
    } else {
        AddUsbSerial(name, node);
    }
}

FakeSystemPorts::~FakeSystemPorts() {
    before_ ? setenv("ZQ8_SYSTEM_ROOT", before_->c_str(), 1) : unsetenv("ZQ8_SYSTEM_ROOT");
    std::error_code ignored;
    fs::remove_all(Root(), ignored);
}

}  // namespace zq8test
