#include "tests/support/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zq8test {

PseudoTerminal::PseudoTerminal() {
    OpenPair();
}

PseudoTerminal::~PseudoTerminal() {
    ClosePair();
}

void PseudoTerminal::OpenPair() {
    std::array<char, 256> name{};
    if (::openpty(&master_, &slave_, name.data(), nullptr, nullptr) != 0) {
        throw std::runtime_error(std::string("openpty: ") + std::strerror(errno));
    }
    slavePath_ = name.data();
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
}

void PseudoTerminal::ClosePair() {
    CloseMaster();
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
}

std::string PseudoTerminal::ReadExactly(std::size_t n, std::chrono::milliseconds timeout) {
    std::string arrived;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::array<char, 4096> buffer{};
    while (master_ >= 0 && arrived.size() < n) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd readable{master_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, int(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        const ssize_t got =
            ::read(master_, buffer.data(), std::min(buffer.size(), n - arrived.size()));
        if (got > 0) {
            arrived.append(buffer.data(), std::size_t(got));
        } else if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        } else {
            // EIO: no slave descriptor is open any more.
            break;
        }
    }
    return arrived;
}

std::size_t PseudoTerminal::Available() const {
    int waiting = 0;
    if (master_ < 0 || ::ioctl(master_, FIONREAD, &waiting) != 0) {
        return 0;
    }
    return std::size_t(waiting);
}

void PseudoTerminal::WriteFromBox(const std::string& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != ssize_t(bytes.size())) {
        throw std::runtime_error(std::string("write to the master side: ") + std::strerror(errno));
    }
    // The kernel hands them to the slave side a moment later.
    pollfd readable{slave_, POLLIN, 0};
    if (::poll(&readable, 1, 10000) != 1) {
        throw std::runtime_error("the bytes from the box never reached the slave side");
    }
}

std::size_t PseudoTerminal::WaitingForTheProgram() const {
    int waiting = 0;
    if (slave_ < 0 || ::ioctl(slave_, FIONREAD, &waiting) != 0) {
        return 0;
    }
    return std::size_t(waiting);
}

void PseudoTerminal::CloseMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void PseudoTerminal::Reopen() {
    ClosePair();
    OpenPair();
}

namespace {

std::string Joined(const std::vector<std::string>& paths) {
    std::string joined;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        joined += (i == 0 ? "" : ":") + paths[i];
    }
    return joined;
}

}  // namespace

ListedSerialPorts::ListedSerialPorts(const std::vector<std::string>& paths) {
    ::setenv("ZQ8_SERIAL_PORTS", Joined(paths).c_str(), 1);
}

ListedSerialPorts::~ListedSerialPorts() {
    ::unsetenv("ZQ8_SERIAL_PORTS");
}

}  // namespace zq8test
