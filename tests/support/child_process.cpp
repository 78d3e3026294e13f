#include "tests/support/child_process.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace zq8test {

ChildProcess::ChildProcess(const std::function<int(int reportFd)>& body) {
    int fds[2];
    if (::pipe(fds) != 0) {
        throw std::runtime_error("cannot make a pipe");
    }
    pid_ = ::fork();
    if (pid_ < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (pid_ == 0) {
        ::close(fds[0]);
        int status = 99;
        try {
            status = body(fds[1]);
        } catch (...) {
        }
        // No exit handlers: they belong to the parent's runtime and test framework.
        ::_exit(status);
    }
    ::close(fds[1]);
    reportFd_ = fds[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        Kill();
        Wait();
    }
    if (reportFd_ >= 0) {
        ::close(reportFd_);
    }
}

std::string ChildProcess::Read(std::size_t count) {
    std::string report;
    char chunk[4096];
    while (report.size() < count) {
        const std::size_t wanted = std::min(sizeof chunk, count - report.size());
        const ssize_t got = ::read(reportFd_, chunk, wanted);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        report.append(chunk, static_cast<std::size_t>(got));
    }
    return report;
}

std::string ChildProcess::ReadAll() {
    return Read(std::string::npos);
}

void ChildProcess::Kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
    }
}

int ChildProcess::Wait() {
    if (pid_ <= 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace zq8test
