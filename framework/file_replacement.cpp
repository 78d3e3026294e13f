#include "framework/file_replacement.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

#include "framework/plain_file.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

std::filesystem::path FolderOf(const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// The new file's hidden name beside target, until it is renamed over it.
std::filesystem::path PendingPath(const std::filesystem::path& target) {
    return FolderOf(target) / ("." + target.filename().string() + ".new");
}

// Gives the unnamed file at fd a name; -1 with errno on failure.
int LinkUnnamed(int fd, const std::filesystem::path& name) {
    if (::linkat(fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0) {
        return 0;
    }
    if (errno == EEXIST) {
        return -1;
    }
    // Kernels that keep linking by descriptor to privileged users take the path in /proc.
    const String viaProc = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, viaProc.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            if (put == 0) {
                errno = EIO;
            }
            return false;
        }
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

// The old file is overwritten: room is reserved first, so that a full disk fails before any of
// its bytes change, and the new end is set last, so that a cut leaves the new lines first.
bool RewriteInPlace(int fd, const String& bytes, String& reason) {
    if (!bytes.empty() &&
        ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(bytes.size())) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        reason = SystemReason(errno);
        return false;
    }
    if (::lseek(fd, 0, SEEK_SET) != 0 || !WriteAll(fd, bytes.data(), bytes.size()) ||
        ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || ::fsync(fd) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    return true;
}

bool ReadWhole(const std::filesystem::path& path, String& bytes) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char chunk[kChunk];
    ssize_t got = 0;
    while ((got = ::read(fd, chunk, sizeof chunk)) != 0) {
        if (got < 0 && errno != EINTR) {
            ::close(fd);
            return false;
        }
        bytes.append(chunk, static_cast<std::size_t>(got > 0 ? got : 0));
    }
    ::close(fd);
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::filesystem::path& target,
                                                        const struct stat* old, String& reason,
                                                        Pending pending) {
    const std::filesystem::path name = PendingPath(target);
    // What a killed run left under the name goes now.
    ::unlink(name.c_str());
    bool named = false;
    int fd = -1;
    if (pending == Pending::kUnnamedWherePossible) {
        fd = ::open(FolderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    }
    // File systems without unnamed files say so in one of these ways.
    if (fd < 0 &&
        (pending == Pending::kNamed || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        named = true;
        fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    }
    if (fd < 0) {
        // Only a folder the user cannot write leaves the target's own rewrite as the way.
        if ((errno == EACCES || errno == EPERM) && old != nullptr) {
            return BeginInPlace(target, reason);
        }
        reason = SystemReason(errno);
        return nullptr;
    }
    // The new file takes the old one's owner and access rights, as a rewrite in place would
    // keep them; an owner the user may not give is left as it is.
    if (old != nullptr) {
        [[maybe_unused]] const int owned = ::fchown(fd, old->st_uid, old->st_gid);
        ::fchmod(fd, old->st_mode & 07777);
    }
    return std::unique_ptr<FileReplacement>(
        new FileReplacement(Way::kBeside, fd, target, name, named));
}

std::unique_ptr<FileReplacement> FileReplacement::BeginInPlace(const std::filesystem::path& target,
                                                               String& reason) {
    const int fd =
        ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason(errno);
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || NotAPlainFile(info.st_mode)) {
        reason = NotAPlainFile(info.st_mode).value_or(SystemReason(errno));
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileReplacement>(
        new FileReplacement(Way::kInPlace, fd, target, {}, false));
}

FileReplacement::FileReplacement(Way way, int fd, std::filesystem::path target,
                                 std::filesystem::path pending, bool named)
    : way_(way), fd_(fd), target_(std::move(target)), pending_(std::move(pending)), named_(named) {}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (named_) {
        ::unlink(pending_.c_str());
    }
}

bool FileReplacement::Write(std::string_view bytes, String& reason) {
    if (failed_) {
        return false;
    }
    if (way_ == Way::kInPlace) {
        held_.append(bytes);
        return true;
    }
    if (!WriteAll(fd_, bytes.data(), bytes.size())) {
        reason = SystemReason(errno);
        failed_ = true;
    }
    return !failed_;
}

bool FileReplacement::Commit(String& reason) {
    if (failed_) {
        return false;
    }
    return way_ == Way::kInPlace ? RewriteInPlace(fd_, held_, reason) : RenameOverTarget(reason);
}

bool FileReplacement::RenameOverTarget(String& reason) {
    // Only a file that is complete on the disk may take the old one's place.
    if (::fsync(fd_) != 0) {
        reason = SystemReason(errno);
        return false;
    }
    if (!named_) {
        if (LinkUnnamed(fd_, pending_) != 0) {
            reason = SystemReason(errno);
            return false;
        }
        named_ = true;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        reason = SystemReason(errno);
        return false;
    }
    if (::rename(pending_.c_str(), target_.c_str()) == 0) {
        named_ = false;
        SyncFolder(FolderOf(target_));
        return true;
    }
    // A file mounted on its own cannot be renamed over, only written.
    if (errno != EBUSY && errno != EXDEV) {
        reason = SystemReason(errno);
        return false;
    }
    return RewriteTargetFromPending(reason);
}

bool FileReplacement::RewriteTargetFromPending(String& reason) {
    if (!ReadWhole(pending_, held_)) {
        reason = SystemReason(errno);
        return false;
    }
    std::unique_ptr<FileReplacement> inPlace = BeginInPlace(target_, reason);
    return inPlace != nullptr && RewriteInPlace(inPlace->fd_, held_, reason);
}

}  // namespace fw
