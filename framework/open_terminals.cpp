#include "framework/open_terminals.h"

#include <sys/ioctl.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "framework/no_destructor.h"

namespace fw {

namespace {

struct OpenTerminal {
    int fd;
    SavedTerminal before;
};

struct OpenTerminals {
    // The display's loss is told on whichever thread noticed it, while the event thread may be
    // opening or closing a line.
    std::mutex mutex;
    std::vector<OpenTerminal> lines;
};

OpenTerminals& Terminals() {
    // Never destroyed: the run may end from another thread while exit handlers run.
    static NoDestructor<OpenTerminals> terminals;
    return *terminals;
}

}  // namespace

void RememberOpenTerminal(int fd, const SavedTerminal& before) {
    OpenTerminals& terminals = Terminals();
    const std::lock_guard lock(terminals.mutex);
    terminals.lines.push_back({fd, before});
}

void ForgetOpenTerminal(int fd) {
    OpenTerminals& terminals = Terminals();
    const std::lock_guard lock(terminals.mutex);
    std::erase_if(terminals.lines, [fd](const OpenTerminal& line) { return line.fd == fd; });
}

void GiveBackOpenTerminals() {
    OpenTerminals& terminals = Terminals();
    const std::lock_guard lock(terminals.mutex);
    for (const OpenTerminal& line : terminals.lines) {
        (void)RestoreTerminal(line.fd, line.before);
        (void)::ioctl(line.fd, TIOCNXCL);
    }
}

}  // namespace fw
