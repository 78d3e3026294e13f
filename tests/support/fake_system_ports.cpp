#include "tests/support/fake_system_ports.h"

#include <QCoreApplication>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace zq8test {

namespace {

namespace fs = std::filesystem;

fs::path MakeRoot() {
    std::string pattern = (fs::temp_directory_path() / "zq8-system-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    const fs::path root = pattern;
    fs::create_directories(root / "sys/class/tty");
    fs::create_directories(root / "dev");
    return root;
}

// A device folder of sysfs: every device has its uevent file.
void MakeDeviceFolder(const fs::path& folder) {
    fs::create_directories(folder);
    std::ofstream(folder / "uevent") << "";
}

}  // namespace

FakeSystemPorts::FakeSystemPorts() : root_(MakeRoot()) {
    if (const char* before = std::getenv("ZQ8_SYSTEM_ROOT")) {
        before_ = before;
    }
    setenv("ZQ8_SYSTEM_ROOT", root_.c_str(), 1);
    LetTheEventInHandEnd();
}

FakeSystemPorts::~FakeSystemPorts() {
    before_ ? setenv("ZQ8_SYSTEM_ROOT", before_->c_str(), 1) : unsetenv("ZQ8_SYSTEM_ROOT");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    LetTheEventInHandEnd();
}

// As the kernel lays it out: the parent device, its "tty" folder holding the tty, the tty's
// "device" link back up to the parent, the parent's "driver" link into the bus's drivers, and
// the class folder's link to the tty.
void FakeSystemPorts::AddPort(const std::string& name, const std::string& node,
                              const std::string& driver) {
    const fs::path parent = root_ / "sys/devices/fake" / (name + "-adapter");
    const fs::path tty = parent / "tty" / name;
    MakeDeviceFolder(parent);
    MakeDeviceFolder(tty);
    fs::create_directory_symlink("../../../" + parent.filename().string(), tty / "device");
    if (!driver.empty()) {
        const fs::path drivers = root_ / "sys/bus/fake/drivers" / driver;
        fs::create_directories(drivers);
        fs::create_directory_symlink(drivers, parent / "driver");
    }
    fs::create_directory_symlink(tty, root_ / "sys/class/tty" / name);
    fs::create_symlink(node, root_ / "dev" / name);
    LetTheEventInHandEnd();
}

void FakeSystemPorts::AddVirtualTty(const std::string& name, const std::string& node) {
    const fs::path tty = root_ / "sys/devices/virtual/tty" / name;
    MakeDeviceFolder(tty);
    fs::create_directory_symlink(tty, root_ / "sys/class/tty" / name);
    fs::create_symlink(node, root_ / "dev" / name);
    LetTheEventInHandEnd();
}

void FakeSystemPorts::Remove(const std::string& name) {
    fs::remove(root_ / "sys/class/tty" / name);
    fs::remove(root_ / "dev" / name);
    fs::remove_all(root_ / "sys/devices/fake" / (name + "-adapter"));
    fs::remove_all(root_ / "sys/devices/virtual/tty" / name);
    LetTheEventInHandEnd();
}

void LetTheEventInHandEnd() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::processEvents();
    }
}

}  // namespace zq8test
