// Virtual ports (pseudo-terminals, socat links) that the system does not list, given by their
// device paths in ZQ8_SERIAL_PORTS.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "framework/serial_port_private.h"

namespace fw {

namespace {

// A port's name is stored as one line of the settings file, so a name holding a line break
// would shift every later pair of the file.
bool HoldsLineBreak(std::string_view path) {
    return path.find_first_of("\r\n") != std::string_view::npos;
}

// Once per entry and run: the list is read at every showing of the port dialog.
void ReportSkipped(std::string_view path) {
    static std::set<std::string, std::less<>> reported;
    if (!reported.insert(std::string(path)).second) {
        return;
    }
    std::string shown;
    for (char c : path) {
        shown += c == '\n' ? "\\n" : c == '\r' ? "\\r" : std::string(1, c);
    }
    std::fprintf(
        stderr,
        "zq8: ZQ8_SERIAL_PORTS entry \"%s\" skipped: a port name cannot hold a line break\n",
        shown.c_str());
    std::fflush(stderr);
}

}  // namespace

std::vector<PortEntry> ListedPorts() {
    std::vector<PortEntry> ports;
    const char* listed = std::getenv("ZQ8_SERIAL_PORTS");
    if (listed == nullptr) {
        return ports;
    }
    std::string_view rest(listed);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view path = rest.substr(0, colon);
        if (HoldsLineBreak(path)) {
            ReportSkipped(path);
        } else if (!path.empty()) {
            ports.push_back({String(path), String(path)});
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return ports;
}

}  // namespace fw
