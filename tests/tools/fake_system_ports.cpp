// Lays out ttys in a test system root the way the kernel does, for the end-to-end scripts, with
// the same code the unit tests use (tests/support/fake_system_ports.h):
//
//   fake_system_ports ROOT usb NAME NODE [DRIVER]      a USB serial adapter (ftdi_sio)
//   fake_system_ports ROOT acm NAME NODE               a USB modem (cdc_acm)
//   fake_system_ports ROOT 8250 NAME NODE old|serial-base platform|pnp TYPE
//                                                      an 8250 slot of that UART type (0: none)
//   fake_system_ports ROOT virtual NAME [NODE]         a tty on the virtual bus
//   fake_system_ports ROOT remove NAME                 unplugged
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "tests/support/fake_system_ports.h"

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: fake_system_ports ROOT usb|acm|8250|virtual|remove NAME [NODE] ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 3) {
        return Usage();
    }
    try {
        zq8test::SystemRootLayout root(args[0]);
        const std::string& kind = args[1];
        const std::string& name = args[2];
        const auto arg = [&](std::size_t i, const std::string& otherwise) {
            return i < args.size() ? args[i] : otherwise;
        };
        if (kind == "usb" && args.size() >= 4) {
            root.AddUsbSerial(name, args[3], arg(4, "ftdi_sio"));
        } else if (kind == "acm" && args.size() == 4) {
            root.AddAcm(name, args[3]);
        } else if (kind == "8250" && args.size() == 7) {
            root.AddUart8250(
                name, args[3],
                args[4] == "old" ? zq8test::Uart8250Layout::BeforeSerialBase
                                 : zq8test::Uart8250Layout::SerialBase,
                args[5] == "pnp" ? zq8test::Uart8250Parent::Pnp : zq8test::Uart8250Parent::Platform,
                std::stoi(args[6]));
        } else if (kind == "virtual") {
            root.AddVirtualTty(name, arg(3, "/dev/null"));
        } else if (kind == "remove") {
            root.Remove(name);
        } else {
            return Usage();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fake_system_ports: %s\n", e.what());
        return 1;
    }
    return 0;
}
