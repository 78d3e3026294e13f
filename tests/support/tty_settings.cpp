#include "tests/support/tty_settings.h"

// termios2 gives the rate itself; glibc's termios only knows the B constants. The two headers
// cannot meet in one file.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace zq8test {

TtySettings ReadTtySettings(int fd) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        throw std::runtime_error(std::string("TCGETS2: ") + std::strerror(errno));
    }
    return {tio.c_iflag, tio.c_oflag, tio.c_cflag, tio.c_lflag, tio.c_ospeed, tio.c_ispeed};
}

}  // namespace zq8test
