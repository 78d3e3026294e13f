#include "tests/support/temp_config.h"

#include <cstdlib>
#include <stdexcept>

namespace zq8test {

std::filesystem::path UseFreshConfigHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zq8-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    setenv("XDG_CONFIG_HOME", pattern.c_str(), 1);
    return pattern;
}

std::filesystem::path SettingsFolder() {
    const char* home = std::getenv("XDG_CONFIG_HOME");
    return std::filesystem::path(home ? home : "") / "zq8";
}

std::filesystem::path SettingsFile() { return SettingsFolder() / "zq8.ini"; }

}  // namespace zq8test
