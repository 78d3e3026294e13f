#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>

#include "framework/files.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

String Reason(int error) {
    return std::generic_category().message(error);
}

// Writing through a symbolic link must replace the file it points to, not the link itself.
String ResolveLink(const String& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? String(resolved) : path;
}

// A new, exclusive file beside the target, hidden from a plain listing; -1 with errno on failure.
int CreatePending(const std::filesystem::path& target, String& pending) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const String name = "." + target.filename().string() + "." + std::to_string(::getpid()) +
                            "-" + std::to_string(counter++);
        pending = (target.parent_path() / name).string();
        const int fd = ::open(pending.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

void SyncFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::shared_ptr<TextOutputStream> TextOutputStream::Create(const String& path, String& reason) {
    const std::filesystem::path target = ResolveLink(path);
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        reason = Reason(EISDIR);
        return nullptr;
    }
    std::error_code ignored;  // the file's own creation below gives the reason
    std::filesystem::create_directories(target.parent_path(), ignored);
    String pending;
    const int fd = CreatePending(target, pending);
    if (fd < 0) {
        reason = Reason(errno);
        return nullptr;
    }
    // The replacement keeps the access rights that emptying the old file in place would keep.
    if (replacing) {
        ::fchmod(fd, old.st_mode & 07777);
    }
    return std::make_shared<TextOutputStream>(fd, pending, target.string());
}

TextOutputStream::TextOutputStream(int fd, String pending, String target)
    : fd_(fd),
      pending_(std::move(pending)),
      target_(std::move(target)),
      uncaught_(std::uncaught_exceptions()) {}

TextOutputStream::~TextOutputStream() {
    // Released while an exception unwinds: the run of lines may be incomplete.
    if (std::uncaught_exceptions() > uncaught_) {
        failed_ = true;
    }
    if (!Commit()) {
        ::unlink(pending_.c_str());
    }
}

void TextOutputStream::WriteLine(const String& line) {
    if (failed_) {
        return;
    }
    buffer_ += line;
    buffer_ += '\n';
    if (buffer_.size() >= kChunk) {
        Flush();
    }
}

void TextOutputStream::Flush() {
    std::size_t written = 0;
    while (!failed_ && written < buffer_.size()) {
        const ssize_t put = ::write(fd_, buffer_.data() + written, buffer_.size() - written);
        if (put >= 0) {
            written += static_cast<std::size_t>(put);
        } else if (errno != EINTR) {
            failed_ = true;
        }
    }
    buffer_.clear();
}

bool TextOutputStream::Commit() {
    Flush();
    // Only a file that is complete on the disk may take the old one's place.
    if (!failed_ && ::fsync(fd_) != 0) {
        failed_ = true;
    }
    if (::close(fd_) != 0) {
        failed_ = true;
    }
    if (failed_ || ::rename(pending_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    SyncFolder(std::filesystem::path(target_).parent_path());
    return true;
}

}  // namespace fw
