// A forked copy of the test process, for what a test cannot do to itself: be killed mid-way,
// run under other limits, or run as another user.
#pragma once

#include <sys/types.h>

#include <functional>
#include <string>

namespace zq8test {

class ChildProcess {
public:
    // Runs body in a child; its result becomes the exit status. Whatever it writes to the fd it
    // is handed reaches the parent through Read. An exception in body exits with status 99.
    explicit ChildProcess(const std::function<int(int reportFd)>& body);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Kills and reaps a child still running.
    ~ChildProcess();

    // Up to `count` bytes of the child's report, fewer when it closes the fd or ends.
    std::string Read(std::size_t count);
    // The whole report, up to the child's end.
    std::string ReadAll();
    void Kill();
    pid_t Pid() const { return pid_; }
    // Waits for the end; the exit status, or -1 when a signal ended the child.
    int Wait();

private:
    pid_t pid_ = -1;
    int reportFd_ = -1;
};

}  // namespace zq8test
