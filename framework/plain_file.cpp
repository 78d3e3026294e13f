#include "framework/plain_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace fw {

namespace {

// As many links as the system itself follows before it gives ELOOP.
constexpr int kMaxLinks = 40;

}  // namespace

String SystemReason(int error) {
    return std::generic_category().message(error);
}

std::optional<String> NotAPlainFile(mode_t mode) {
    if (S_ISREG(mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(mode)) {
        return SystemReason(EISDIR);
    }
    const char* kind = S_ISFIFO(mode)   ? "a FIFO"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISBLK(mode)  ? "a block device"
                       : S_ISSOCK(mode) ? "a socket"
                                        : "not a file";
    return String(kind) + ", not a plain file";
}

std::optional<std::filesystem::path> FinalTarget(const std::filesystem::path& path) {
    std::filesystem::path at = path;
    std::vector<char> text(PATH_MAX);
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat info {};
        if (::lstat(at.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return at;
        }
        const ssize_t length = ::readlink(at.c_str(), text.data(), text.size());
        if (length < 0) {
            return at;
        }
        // A relative link names a place beside the link itself.
        at = at.parent_path() / std::filesystem::path(String(text.data(), std::size_t(length)));
    }
    errno = ELOOP;
    return std::nullopt;
}

}  // namespace fw
