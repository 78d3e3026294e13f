#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "framework/files.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

String Reason(int error) {
    return std::generic_category().message(error);
}

}  // namespace

std::shared_ptr<TextInputStream> TextInputStream::Open(const String& path, String& reason) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = Reason(errno);
        return nullptr;
    }
    // A folder opens fine for reading, and only its first read would fail.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        reason = Reason(S_ISDIR(info.st_mode) ? EISDIR : errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_shared<TextInputStream>(fd);
}

TextInputStream::TextInputStream(int fd) : fd_(fd), buffer_(kChunk) {}

TextInputStream::~TextInputStream() {
    ::close(fd_);
}

bool TextInputStream::Fill() {
    next_ = end_ = 0;
    while (!exhausted_) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        exhausted_ = true;
    }
    return false;
}

bool TextInputStream::Eof() {
    return next_ == end_ && !Fill();
}

String TextInputStream::ReadLine() {
    String line;
    while (next_ < end_ || Fill()) {
        const auto begin = buffer_.begin() + static_cast<std::ptrdiff_t>(next_);
        const auto stop = buffer_.begin() + static_cast<std::ptrdiff_t>(end_);
        const auto lineEnd =
            std::find_if(begin, stop, [](char c) { return c == '\n' || c == '\r'; });
        line.append(begin, lineEnd);
        next_ = static_cast<std::size_t>(lineEnd - buffer_.begin());
        if (lineEnd == stop) {
            continue;
        }
        const char first = *lineEnd;
        ++next_;
        // The "\n" of a "\r\n" may only arrive with the next chunk.
        if (first == '\r' && (next_ < end_ || Fill()) && buffer_[next_] == '\n') {
            ++next_;
        }
        return line;
    }
    return line;
}

}  // namespace fw
