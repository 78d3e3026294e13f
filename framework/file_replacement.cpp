#include "framework/file_replacement.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
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

// The hidden names of target's pending files begin so; the pid and a number follow.
String PendingPrefix(const std::filesystem::path& target) {
    return "." + target.filename().string() + ".";
}

std::filesystem::path PendingPath(const std::filesystem::path& target) {
    static unsigned counter = 0;
    return FolderOf(target) /
           (PendingPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(counter++));
}

// The pid that a pending file's name holds, or 0 when the name is none of target's.
pid_t PendingPid(const String& name, const String& prefix) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const char* last = name.data() + name.size();
    unsigned long pid = 0;
    const auto [dash, pidError] = std::from_chars(name.data() + prefix.size(), last, pid);
    if (pidError != std::errc() || dash == last || *dash != '-') {
        return 0;
    }
    unsigned long number = 0;
    const auto [end, numberError] = std::from_chars(dash + 1, last, number);
    if (numberError != std::errc() || end != last || pid == 0 || pid > 0x7fffffff) {
        return 0;
    }
    return static_cast<pid_t>(pid);
}

bool Gone(pid_t pid) {
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A new, exclusive file under a hidden name beside target; -1 with errno on failure.
int CreateNamed(const std::filesystem::path& target, std::filesystem::path& pending) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        pending = PendingPath(target);
        const int fd = ::open(pending.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
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
    RemoveLeftovers(target);
    Way way = Way::kUnnamed;
    std::filesystem::path name;
    int fd = -1;
    if (pending == Pending::kUnnamedWherePossible) {
        fd = ::open(FolderOf(target).c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    }
    // File systems without unnamed files say so in one of these ways.
    if (fd < 0 &&
        (pending == Pending::kNamed || errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        way = Way::kNamed;
        fd = CreateNamed(target, name);
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
    return std::unique_ptr<FileReplacement>(new FileReplacement(way, fd, target, name));
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
    return std::unique_ptr<FileReplacement>(new FileReplacement(Way::kInPlace, fd, target, {}));
}

void FileReplacement::RemoveLeftovers(const std::filesystem::path& target) {
    const String prefix = PendingPrefix(target);
    std::error_code error;
    for (std::filesystem::directory_iterator entry(FolderOf(target), error), end;
         !error && entry != end; entry.increment(error)) {
        const pid_t pid = PendingPid(entry->path().filename().string(), prefix);
        // A live run's file is its own business, whoever it belongs to.
        if (pid != 0 && pid != ::getpid() && Gone(pid)) {
            ::unlink(entry->path().c_str());
        }
    }
}

FileReplacement::FileReplacement(Way way, int fd, std::filesystem::path target,
                                 std::filesystem::path pending)
    : way_(way), fd_(fd), target_(std::move(target)), pending_(std::move(pending)) {}

FileReplacement::~FileReplacement() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!pending_.empty()) {
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
    if (::fsync(fd_) != 0 || (way_ == Way::kUnnamed && !NamePending())) {
        reason = SystemReason(errno);
        return false;
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        reason = SystemReason(errno);
        return false;
    }
    if (::rename(pending_.c_str(), target_.c_str()) == 0) {
        pending_.clear();
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

bool FileReplacement::NamePending() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        pending_ = PendingPath(target_);
        if (LinkUnnamed(fd_, pending_) == 0) {
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int error = errno;
    pending_.clear();
    errno = error;
    return false;
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
