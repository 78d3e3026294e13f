#include "framework/serial_line.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

// No SIGPIPE guard is needed: a descriptor stays open only once it has proved to be a terminal
// (TIOCEXCL and the line settings succeed), and a terminal whose other end is gone fails its
// writes with EIO rather than raising SIGPIPE.

namespace fw {

namespace {

constexpr const char* kInUse = "in use by another program";
constexpr const char* kHungUp = "hung up";

// EBUSY is what open() gives an ordinary user when another program holds the port with TIOCEXCL;
// EWOULDBLOCK is what flock() gives anyone, root included, when another holds its lock.
std::string OpenFailureReason(int error) {
    if (error == EBUSY || error == EWOULDBLOCK) {
        return kInUse;
    }
    return std::strerror(error);
}

}  // namespace

SerialLine::SerialLine(LostHandler lost) : lost_(std::move(lost)) {}

SerialLine::~SerialLine() {
    if (IsOpen()) {
        Drop();
    }
}

bool SerialLine::Open(const std::string& devicePath, const LineSettings& settings,
                      std::string& reason) {
    pending_.clear();
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = OpenFailureReason(errno);
        return false;
    }
    // Ours alone, or frames of another program would interleave with ours on the box. The lock
    // comes first, so that a port someone else holds keeps its exclusive flag and its settings;
    // TIOCEXCL then keeps out ordinary users that take no lock (root passes it).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason = OpenFailureReason(errno);
        ::close(fd);
        return false;
    }
    int error = ::ioctl(fd, TIOCEXCL) == 0 ? 0 : errno;
    if (error == 0) {
        error = ApplyLineSettings(fd, settings, saved_);
    }
    if (error != 0) {
        reason = std::strerror(error);
        (void)::ioctl(fd, TIOCNXCL);
        ::close(fd);
        return false;
    }
    fd_ = fd;
    devicePath_ = devicePath;

    // Made only once a line opens, so that nothing here needs an event dispatcher before.
    if (!roomNotifier_) {
        roomNotifier_ = std::make_unique<QSocketNotifier>(QSocketNotifier::Write);
        QObject::connect(roomNotifier_.get(), &QSocketNotifier::activated, roomNotifier_.get(),
                         [this] { SendPending(); });
        // A read watch, since that is the one the event loop wakes on hang-up; nothing is ever
        // read.
        hangUpNotifier_ = std::make_unique<QSocketNotifier>(QSocketNotifier::Read);
        QObject::connect(hangUpNotifier_.get(), &QSocketNotifier::activated, hangUpNotifier_.get(),
                         [this] { CheckLine(); });
    }
    roomNotifier_->setSocket(fd_);
    hangUpNotifier_->setSocket(fd_);
    hangUpNotifier_->setEnabled(true);
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
        // A hung-up device reports POLLHUP; the write then fails and loses the line.
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
    // Only now that the bytes are out: on a UART a change of rate would garble them.
    (void)RestoreTerminal(fd_, saved_);
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
    if (!IsOpen()) {
        return;
    }
    const std::optional<std::size_t> sent = WriteNow(pending_);
    if (!sent) {
        // A terminal whose other side has gone fails with EIO; the hang-up says more.
        const int error = errno;
        Lose(HungUp() ? kHungUp : std::strerror(error));
        return;
    }
    pending_.erase(0, *sent);
    WatchForRoom(!pending_.empty());
}

void SerialLine::WatchForRoom(bool watch) {
    roomNotifier_->setEnabled(watch);
}

void SerialLine::CheckLine() {
    if (!IsOpen()) {
        return;
    }
    pollfd line{fd_, 0, 0};
    (void)::poll(&line, 1, 0);
    if ((line.revents & POLLHUP) != 0) {
        Lose(kHungUp);
    } else if ((line.revents & POLLERR) != 0) {
        Lose(std::strerror(EIO));
    } else {
        // The box sent something. Nothing reads it, so it is let go, or the watch would wake the
        // event loop again at once.
        ::tcflush(fd_, TCIFLUSH);
    }
}

bool SerialLine::HungUp() const {
    // POLLHUP is reported whatever is asked for.
    pollfd line{fd_, 0, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & POLLHUP) != 0;
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

void SerialLine::Lose(const std::string& reason) {
    const std::string devicePath = devicePath_;
    Drop();
    if (lost_) {
        lost_(devicePath, reason);
    }
}

void SerialLine::Drop() {
    roomNotifier_->setEnabled(false);
    hangUpNotifier_->setEnabled(false);
    pending_.clear();
    (void)::ioctl(fd_, TIOCNXCL);
    // Closing the descriptor also lets go of the lock.
    ::close(fd_);
    fd_ = -1;
}

}  // namespace fw
