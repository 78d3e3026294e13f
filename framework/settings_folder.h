// The folder that bare file names lie in, for the framework's own use.
#pragma once

#include <filesystem>

namespace fw {

// $XDG_CONFIG_HOME/zq8, or ~/.config/zq8 when the variable is unset, empty or relative (a
// relative one would follow the working folder); empty when no home folder can be found.
std::filesystem::path SettingsFolder();

}  // namespace fw
