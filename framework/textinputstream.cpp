#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include "framework/files.h"
#include "framework/plain_file.h"

namespace fw {

namespace {

constexpr std::size_t kChunk = 64 * 1024;

// The first line end in [begin, stop), or stop. Searched for a byte at a time, a file without
// line ends would take as long to skip as to read a line of it.
const char* LineEnd(const char* begin, const char* stop) {
    const auto* newline =
        static_cast<const char*>(std::memchr(begin, '\n', static_cast<std::size_t>(stop - begin)));
    const char* limit = newline != nullptr ? newline : stop;
    const auto* cr =
        static_cast<const char*>(std::memchr(begin, '\r', static_cast<std::size_t>(limit - begin)));
    return cr != nullptr ? cr : limit;
}

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

void TextInputStream::ReadAtMost(std::uint64_t bytes) {
    left_ = bytes;
}

bool TextInputStream::Fill() {
    next_ = end_ = 0;
    while (!exhausted_) {
        // At the bound, one byte more tells whether the file went on.
        const std::size_t wanted =
            left_ == 0 ? 1 : static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, left_));
        const ssize_t got = ::read(fd_, buffer_.data(), wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            readError_ = SystemReason(errno);
        } else if (got > 0 && left_ == 0) {
            stoppedAtBound_ = true;
        } else if (got > 0) {
            left_ -= static_cast<std::uint64_t>(got);
            end_ = static_cast<std::size_t>(got);
            SkipByteOrderMarks();
            if (next_ < end_) {
                return true;
            }
            continue;
        }
        exhausted_ = true;
    }
    return false;
}

void TextInputStream::SkipByteOrderMarks() {
    if (!atStart_) {
        return;
    }
    constexpr std::string_view kMark = "\xEF\xBB\xBF";
    while (end_ - next_ >= kMark.size() &&
           std::string_view(buffer_.data() + next_, kMark.size()) == kMark) {
        next_ += kMark.size();
    }
    // Editors write one mark; a run of them is read past as well, so that the first key
    // written back reads back the same.
    atStart_ = next_ == end_;
}

bool TextInputStream::Eof() {
    return !More();
}

String TextInputStream::ReadLine() {
    String line;
    while (More()) {
        const char* begin = buffer_.data() + next_;
        const char* stop = buffer_.data() + end_;
        const char* lineEnd = LineEnd(begin, stop);
        const std::size_t room = kMaxLine - line.size();
        line.append(begin, std::min(static_cast<std::size_t>(lineEnd - begin), room));
        next_ = static_cast<std::size_t>(lineEnd - buffer_.data());
        if (lineEnd == stop) {
            continue;
        }
        const char first = *lineEnd;
        ++next_;
        // The "\n" of a "\r\n" may only arrive with the next chunk.
        if (first == '\r' && More() && buffer_[next_] == '\n') {
            ++next_;
        }
        return line;
    }
    return line;
}

}  // namespace fw
