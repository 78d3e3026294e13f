#include "tests/support/other_panel.h"

#include <unistd.h>

#include <cstring>

#include "framework/settings_lock.h"

namespace zq8test {

int HoldSettingsLockUntilKilled(int reportFd) {
    const auto length = static_cast<ssize_t>(std::strlen(kLocked));
    if (!fw::LockSettingsFolder() || ::write(reportFd, kLocked, length) != length) {
        return 1;
    }
    ::pause();
    return 0;
}

}  // namespace zq8test
