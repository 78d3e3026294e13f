#include "tests/support/tty_settings.h"

// termios2 gives the rate itself; glibc's termios only knows the B constants. The two headers
// cannot meet in one file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <stdexcept>
#include <string>

namespace zq8test {

namespace {

[[noreturn]] void Fail(const char* call) {
    throw std::runtime_error(std::string(call) + ": " + std::strerror(errno));
}

}  // namespace

TtySettings ReadTtySettings(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        Fail("TCGETS2");
    }
    TtySettings settings{tio.c_iflag,  tio.c_oflag,  tio.c_cflag, tio.c_lflag,
                         tio.c_ospeed, tio.c_ispeed, tio.c_line};
    std::copy(std::begin(tio.c_cc), std::end(tio.c_cc), settings.controlChars.begin());
    return settings;
}

void WriteTtySettings(int fd, const TtySettings& settings) {
    termios2 tio{};
    tio.c_iflag = settings.iflag;
    tio.c_oflag = settings.oflag;
    tio.c_cflag = settings.cflag;
    tio.c_lflag = settings.lflag;
    tio.c_ospeed = settings.outputBaud;
    tio.c_ispeed = settings.inputBaud;
    tio.c_line = settings.lineDiscipline;
    std::copy(settings.controlChars.begin(), settings.controlChars.end(), std::begin(tio.c_cc));
    if (::ioctl(fd, TCSETS2, &tio) != 0) {
        Fail("TCSETS2");
    }
}

bool IsExclusive(int fd) {
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) != 0) {
        Fail("TIOCGEXCL");
    }
    return exclusive != 0;
}

}  // namespace zq8test
