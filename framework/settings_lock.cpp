#include "framework/settings_lock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <string>
#include <system_error>

#include "framework/plain_file.h"
#include "framework/settings_folder.h"

namespace fw {

namespace {

int heldFd = -1;

constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK;

// The pid the holder wrote, or 0 when the file names no live process (the holder may not have
// written it yet).
pid_t HolderPid(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    long pid = 0;
    if (got <= 0 || std::from_chars(text, text + got, pid).ec != std::errc() || pid <= 0 ||
        pid > 0x7fffffff) {
        return 0;
    }
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM ? static_cast<pid_t>(pid) : 0;
}

void SayUnguarded(const std::filesystem::path& file, const String& reason) {
    std::fprintf(stderr, "zq8: cannot lock %s: %s; a second panel on it is not kept out\n",
                 file.c_str(), reason.c_str());
    std::fflush(stderr);
}

enum class Outcome { kLocked, kHeldByAnother, kUnguarded };

struct Attempt {
    Outcome outcome;
    int fd = -1;  // the lock file, when locked
    String reason;
};

std::filesystem::path LockFile(const std::filesystem::path& folder) {
    return folder / ".zq8.lock";
}

// Takes the lock in folder, making the folder when it is missing.
Attempt TakeLock(const std::filesystem::path& folder) {
    std::error_code ignored;  // the lock file's creation below gives the reason
    std::filesystem::create_directories(folder, ignored);
    const std::filesystem::path file = LockFile(folder);
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0644);
    // A lock file the user may only read still takes a lock.
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        const int refused = errno;
        fd = ::open(file.c_str(), O_RDONLY | kOpenFlags);
        // No lock file to read: the reason is that none could be made.
        if (fd < 0 && errno == ENOENT) {
            errno = refused;
        }
    }
    if (fd < 0) {
        return {Outcome::kUnguarded, -1, SystemReason(errno)};
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || NotAPlainFile(info.st_mode)) {
        const String reason = NotAPlainFile(info.st_mode).value_or(SystemReason(errno));
        ::close(fd);
        return {Outcome::kUnguarded, -1, reason};
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK) {
            ::close(fd);
            return {Outcome::kUnguarded, -1, SystemReason(error)};
        }
        const pid_t holder = HolderPid(fd);
        ::close(fd);
        const std::string who = holder != 0 ? " (pid " + std::to_string(holder) + ")" : "";
        return {Outcome::kHeldByAnother, -1,
                "another panel" + who + " is already running on " + folder.string()};
    }
    // Under a file size limit of 0 the pid cannot be written: the lock holds all the same.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t put = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    return {Outcome::kLocked, fd, {}};
}

// Whether the lock file in folder is the one this run holds.
bool HeldThere(const std::filesystem::path& folder) {
    struct stat held {};
    struct stat there {};
    return ::fstat(heldFd, &held) == 0 && ::lstat(LockFile(folder).c_str(), &there) == 0 &&
           held.st_dev == there.st_dev && held.st_ino == there.st_ino;
}

}  // namespace

bool LockSettingsFolder() {
    UnlockSettingsFolder();
    const std::filesystem::path folder = SettingsFolder();
    if (folder.empty()) {
        return true;  // no settings at all: the store says so
    }
    Attempt attempt = TakeLock(folder);
    switch (attempt.outcome) {
        case Outcome::kLocked:
            heldFd = attempt.fd;
            return true;
        case Outcome::kHeldByAnother:
            std::fprintf(stderr, "zq8: %s\n", attempt.reason.c_str());
            std::fflush(stderr);
            return false;
        case Outcome::kUnguarded:
            SayUnguarded(LockFile(folder), attempt.reason);
            return true;
    }
    return true;
}

bool KeepSettingsFolderLocked(String& reason) {
    const std::filesystem::path folder = SettingsFolder();
    if (heldFd < 0 || folder.empty() || HeldThere(folder)) {
        return true;
    }
    Attempt attempt = TakeLock(folder);
    if (attempt.outcome == Outcome::kHeldByAnother) {
        reason = attempt.reason;
        return false;
    }
    // A folder that can hold no lock file now can hold no settings either: the store says why.
    if (attempt.outcome == Outcome::kLocked) {
        ::close(heldFd);
        heldFd = attempt.fd;
    }
    return true;
}

void UnlockSettingsFolder() {
    if (heldFd >= 0) {
        ::close(heldFd);
        heldFd = -1;
    }
}

}  // namespace fw
