// The system's own serial ports as a test sets them: a folder laid out like the kernel's tty class
// folder and /dev, which the framework lists instead of this machine's while ZQ8_SYSTEM_ROOT
// names it. Every test program starts on an empty one, so no test sees the host's ports.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace zq8test {

class FakeSystemPorts {
public:
    // No tty yet; the one in force before comes back on destruction.
    FakeSystemPorts();
    FakeSystemPorts(const FakeSystemPorts&) = delete;
    FakeSystemPorts& operator=(const FakeSystemPorts&) = delete;
    ~FakeSystemPorts();

    // A tty on a device of its own, bound to `driver` ("" for none), whose device node is a link
    // to `node`, such as a pseudo-terminal's slave side.
    void AddPort(const std::string& name, const std::string& node,
                 const std::string& driver = "ftdi_sio");
    // A tty on the virtual bus, as consoles and pseudo-terminals are.
    void AddVirtualTty(const std::string& name, const std::string& node = "/dev/null");
    // Unplugged: the tty and its device node go.
    void Remove(const std::string& name);

    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
    std::optional<std::string> before_;
};

// A change of ports reaches the program between two events, as an adapter plugged in or a new
// ZQ8_SERIAL_PORTS would: lets the event in hand end, so that the next listing sees the change.
void LetTheEventInHandEnd();

}  // namespace zq8test
