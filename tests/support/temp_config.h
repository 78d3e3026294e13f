// A temporary settings folder per test, under XDG_CONFIG_HOME.
#pragma once

#include <filesystem>
#include <string>

namespace zq8test {

// Points XDG_CONFIG_HOME at a new empty folder and returns it.
std::filesystem::path UseFreshConfigHome();
// The folder where the settings file lives now: $XDG_CONFIG_HOME/zq8.
std::filesystem::path SettingsFolder();
// The settings file, "zq8.ini", in that folder.
std::filesystem::path SettingsFile();

}  // namespace zq8test
