#include "framework/serial_line.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "framework/serial_termios.h"

// No SIGPIPE guard is needed: a descriptor stays open only once it has proved to be a terminal
// (TIOCEXCL and the line settings succeed), and a terminal whose other end is gone fails its
// writes with EIO rather than raising SIGPIPE.

namespace fw {

SerialLine::SerialLine() = default;

SerialLine::~SerialLine() {
    if (IsOpen()) {
        Drop();
    }
}

bool SerialLine::Open(const std::string& devicePath, const LineSettings& settings,
                      std::string& reason) {
    roomNotifier_.reset();
    pending_.clear();
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    // Exclusive use: frames of another program on the same box would interleave with ours.
    int error = ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
    if (error == 0) {
        error = ApplyLineSettings(fd, settings);
    }
    if (error != 0) {
        reason = std::strerror(error);
        (void)::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void SerialLine::Write(std::string_view bytes) {
    if (!IsOpen() || bytes.empty()) {
        return;
    }
    pending_.append(bytes);
    SendPending();
}

void SerialLine::Close(std::chrono::milliseconds drainLimit) {
    if (!IsOpen()) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + drainLimit;
    while (IsOpen() && !pending_.empty()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd room{fd_, POLLOUT, 0};
        const int ready = ::poll(&room, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        // A hung-up device reports POLLHUP; the write then fails and drops the line.
        SendPending();
    }
    if (!IsOpen()) {
        return;
    }
    // The kernel would otherwise wait up to its closing_wait (30 s by default) for a stuck line,
    // with the event thread blocked in close().
    if (!pending_.empty() || !WaitForTransmitter(deadline)) {
        ::tcflush(fd_, TCOFLUSH);
    }
    Drop();
}

std::optional<std::size_t> SerialLine::WriteNow(std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (written > 0) {
            done += std::size_t(written);
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        } else {
            return std::nullopt;
        }
    }
    return done;
}

void SerialLine::SendPending() {
    const std::optional<std::size_t> sent = WriteNow(pending_);
    if (!sent) {
        // Unplugged, or the other side of a pseudo-terminal closed: later writes go nowhere.
        Drop();
        return;
    }
    pending_.erase(0, *sent);
    WatchForRoom(!pending_.empty());
}

void SerialLine::WatchForRoom(bool watch) {
    if (!watch && !roomNotifier_) {
        return;
    }
    if (!roomNotifier_) {
        // Made only when first needed, so that writing needs no event dispatcher as long as the
        // kernel keeps up.
        roomNotifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Write);
        QObject::connect(roomNotifier_.get(), &QSocketNotifier::activated, roomNotifier_.get(),
                         [this] { SendPending(); });
    }
    roomNotifier_->setEnabled(watch);
}

bool SerialLine::WaitForTransmitter(std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void SerialLine::Drop() {
    // The notifier may be the caller (SendPending from its signal), so it is only switched off
    // here; the next Open or the destructor releases it.
    if (roomNotifier_) {
        roomNotifier_->setEnabled(false);
    }
    pending_.clear();
    (void)::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace fw
