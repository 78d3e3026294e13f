#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "framework/files.h"
#include "framework/plain_file.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

}  // namespace

std::shared_ptr<TextInputStream> TextInputStream::Open(const String& path, String& reason) {
    // Opening a device can be an act of its own (a serial line raises its control lines), so
    // anything but a plain file is refused unopened.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        reason = SystemReason(errno);
        return nullptr;
    }
    if (const auto why = NotAPlainFile(info.st_mode)) {
        reason = *why;
        return nullptr;
    }
    // Without blocking, and checked again, in case a FIFO took the file's place meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason(errno);
        return nullptr;
    }
    if (::fstat(fd, &info) != 0 || NotAPlainFile(info.st_mode)) {
        reason = NotAPlainFile(info.st_mode).value_or(SystemReason(errno));
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
        const std::size_t room = kMaxLine - line.size();
        line.append(begin, begin + std::min(lineEnd - begin, static_cast<std::ptrdiff_t>(room)));
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
