#include "framework/serial_line.h"

#include <QSocketNotifier>
#include <QTimer>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "framework/open_terminals.h"

// No SIGPIPE guard is needed: a descriptor stays open only once it has proved to be a terminal
// (TIOCEXCL and the line settings succeed), and a terminal whose other end is gone fails its
// writes with EIO rather than raising SIGPIPE.

namespace fw {

namespace {

using Clock = PendingFrames::Clock;

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

// Root opens a terminal whatever its exclusive flag says, so the flag is asked for: set, another
// program holds the port without a lock.
bool HeldExclusivelyByAnother(int fd) {
    int exclusive = 0;
    return ::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

void ReportStall(const std::string& devicePath, std::chrono::milliseconds limit) {
    std::fprintf(stderr, "zq8: %s stalled: frames not sent within %.3g s are dropped\n",
                 devicePath.c_str(), double(limit.count()) / 1000.0);
    std::fflush(stderr);
}

void ReportDroppedAtClose(const std::string& devicePath, std::size_t dropped) {
    std::fprintf(stderr, "zq8: %s closed with %zu frame%s not sent\n", devicePath.c_str(), dropped,
                 dropped == 1 ? "" : "s");
    std::fflush(stderr);
}

int MillisecondsUntil(Clock::time_point when) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(when - Clock::now());
    return int(std::max<std::chrono::milliseconds::rep>(left.count(), 0));
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
    frames_.Clear();
    stalled_ = false;
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = OpenFailureReason(errno);
        return false;
    }
    // Ours alone, or frames of another program would interleave with ours on the box. The lock
    // and the exclusive flag are looked at first, so that a port someone else holds by either
    // keeps its flag and its settings.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        reason = OpenFailureReason(errno);
        ::close(fd);
        return false;
    }
    if (HeldExclusivelyByAnother(fd)) {
        reason = kInUse;
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
    RememberOpenTerminal(fd_, saved_);

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
        deadlineTimer_ = std::make_unique<QTimer>();
        deadlineTimer_->setSingleShot(true);
        QObject::connect(deadlineTimer_.get(), &QTimer::timeout, deadlineTimer_.get(),
                         [this] { SendPending(); });
    }
    roomNotifier_->setSocket(fd_);
    hangUpNotifier_->setSocket(fd_);
    hangUpNotifier_->setEnabled(true);
    return true;
}

void SerialLine::Write(std::string_view frame) {
    if (!IsOpen() || frame.empty()) {
        return;
    }
    frames_.Add(frame, Clock::now());
    SendPending();
}

void SerialLine::Close(std::chrono::milliseconds drainLimit) {
    if (!IsOpen()) {
        return;
    }
    deadlineTimer_->stop();
    const auto closeBy = Clock::now() + drainLimit;
    std::size_t dropped = 0;
    for (;;) {
        dropped += frames_.DropLate(Clock::now());
        if (frames_.Empty() || Clock::now() >= closeBy) {
            break;
        }
        // Woken by room, or by the time the next frame must have begun by.
        const auto until = std::min(closeBy, frames_.NextDeadline().value_or(closeBy));
        pollfd room{fd_, POLLOUT, 0};
        const int ready = ::poll(&room, 1, MillisecondsUntil(until));
        if (ready < 0 && errno != EINTR) {
            break;
        }
        // A hung-up device reports POLLHUP, which loses the line.
        if (ready > 0 && !SendWhatFits()) {
            return;
        }
    }
    dropped += frames_.Clear();
    // The kernel would otherwise wait up to its closing_wait (30 s by default) for a stuck
    // transmitter, with the event thread blocked in close(). A pseudo-terminal reports nothing
    // queued: what it took stays whole for its reader.
    if (!WaitForTransmitter(closeBy)) {
        ::tcflush(fd_, TCOFLUSH);
    }
    // Only now that the bytes are out: on a UART a change of rate would garble them.
    (void)RestoreTerminal(fd_, saved_);
    const std::string devicePath = devicePath_;
    Drop();
    if (dropped > 0) {
        ReportDroppedAtClose(devicePath, dropped);
    }
}

void SerialLine::SendPending() {
    if (!IsOpen()) {
        return;
    }
    if (frames_.DropLate(Clock::now()) > 0 && !stalled_) {
        stalled_ = true;
        ReportStall(devicePath_, kFrameStartLimit);
    }
    if (!SendWhatFits()) {
        return;
    }
    WatchForRoom(!frames_.Empty());
    WatchForNextDeadline();
}

bool SerialLine::SendWhatFits() {
    while (!frames_.Empty()) {
        // A terminal that reports room takes a frame of a few bytes whole (a pseudo-terminal's
        // buffer is then below its limit, a UART's below the wake-up mark), whereas one write of
        // many frames can end mid-frame, and the rest of that frame might never follow.
        pollfd room{fd_, POLLOUT, 0};
        if (::poll(&room, 1, 0) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if ((room.revents & POLLHUP) != 0) {
            Lose(kHungUp);
            return false;
        }
        if ((room.revents & POLLOUT) == 0) {
            break;
        }
        const std::string_view next = frames_.Next();
        const ssize_t written = ::write(fd_, next.data(), next.size());
        if (written > 0) {
            frames_.Took(std::size_t(written));
            stalled_ = false;
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else if (written == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            break;
        } else {
            // A terminal whose other side has gone fails with EIO; the hang-up says more.
            const int error = errno;
            Lose(HungUp() ? kHungUp : std::strerror(error));
            return false;
        }
    }
    return true;
}

void SerialLine::WatchForRoom(bool watch) {
    roomNotifier_->setEnabled(watch);
}

void SerialLine::WatchForNextDeadline() {
    if (const auto deadline = frames_.NextDeadline()) {
        deadlineTimer_->start(MillisecondsUntil(*deadline));
    } else {
        deadlineTimer_->stop();
    }
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

bool SerialLine::WaitForTransmitter(Clock::time_point deadline) {
    for (;;) {
        int queued = 0;
        if (::ioctl(fd_, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            return true;
        }
        if (Clock::now() >= deadline) {
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
    deadlineTimer_->stop();
    frames_.Clear();
    ForgetOpenTerminal(fd_);
    (void)::ioctl(fd_, TIOCNXCL);
    // Closing the descriptor also lets go of the lock.
    ::close(fd_);
    fd_ = -1;
}

}  // namespace fw
