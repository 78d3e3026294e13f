// Another panel on the same settings folder, played by a forked child.
#pragma once

namespace zq8test {

// The reply the child sends once it holds the lock.
inline constexpr char kLocked[] = "locked";

// A ChildProcess body: takes the settings folder's lock, sends kLocked, and holds the lock
// until it is killed.
int HoldSettingsLockUntilKilled(int reportFd);

}  // namespace zq8test
