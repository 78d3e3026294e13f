#include "framework/files.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "framework/settings_folder.h"
#include "framework/settings_lock.h"

namespace fw {

std::filesystem::path SettingsFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    if (configHome != nullptr && *configHome == '/') {
        return std::filesystem::path(configHome) / "zq8";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || *home == '\0') {
        const passwd* user = ::getpwuid(::getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || *home == '\0') {
        return {};
    }
    return std::filesystem::path(home) / ".config" / "zq8";
}

bool FolderItem::Exists() const {
    struct stat info {};
    return ::stat(path_.c_str(), &info) == 0;
}

std::shared_ptr<TextInputStream> FolderItem::OpenAsTextFile() {
    lastError_.clear();
    return TextInputStream::Open(path_, lastError_);
}

std::shared_ptr<TextOutputStream> FolderItem::CreateTextFile() {
    lastError_.clear();
    // A store makes a folder removed or renamed since the start anew: the lock comes first, so
    // that no second panel starts on it beside this one.
    if (!KeepSettingsFolderLocked(lastError_)) {
        return nullptr;
    }
    return TextOutputStream::Create(path_, lastError_);
}

std::shared_ptr<FolderItem> GetFolderItem(const String& name) {
    const std::filesystem::path folder = SettingsFolder();
    if (folder.empty()) {
        return nullptr;
    }
    return std::make_shared<FolderItem>((folder / name).string());
}

}  // namespace fw
