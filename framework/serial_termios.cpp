#include "framework/serial_termios.h"

// termios2 instead of glibc's termios, since only termios2 carries the rates that have no B
// constant (3600, 7200, 14400, 28800). Its header clashes with <termios.h>, which is why this
// file stands on its own.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace fw {

namespace {

tcflag_t StandardSpeed(std::int32_t rate) {
    switch (rate) {
        case 300:
            return B300;
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 1800:
            return B1800;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        case 230400:
            return B230400;
        default:
            return 0;
    }
}

tcflag_t CharacterSize(std::int32_t dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

}  // namespace

TerminalFlags EncodeLineSettings(const TerminalFlags& current, const LineSettings& settings) {
    TerminalFlags flags = current;
    // The controller takes binary frames: no byte may be translated, expanded or swallowed.
    flags.iflag &=
        ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF | IXANY);
    flags.oflag &= ~tcflag_t(OPOST);
    flags.lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);

    flags.cflag &= ~tcflag_t(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | CBAUD | CIBAUD);
    // CLOCAL: a box without carrier detect must neither block the open nor hang up the line.
    flags.cflag |= CharacterSize(settings.dataBits) | CREAD | CLOCAL;
    if (settings.parity != ParityBit::None) {
        flags.cflag |= PARENB;
    }
    if (settings.parity == ParityBit::Odd) {
        flags.cflag |= PARODD;
    }
    if (settings.stopBits != StopBits::One) {
        flags.cflag |= CSTOPB;
    }
    if (settings.rtsCts) {
        flags.cflag |= CRTSCTS;
    }
    if (settings.xonXoff) {
        flags.iflag |= IXON | IXOFF;
    }
    // CIBAUD left zero means the input speed follows the output speed.
    const tcflag_t speed = StandardSpeed(settings.baudRate);
    flags.cflag |= speed != 0 ? speed : BOTHER;
    flags.inputSpeed = std::uint32_t(settings.baudRate);
    flags.outputSpeed = std::uint32_t(settings.baudRate);
    return flags;
}

ModemLineChanges ModemLinesAtOpen(const LineSettings& settings) {
    ModemLineChanges changes;
    (settings.dtr ? changes.raise : changes.lower) |= TIOCM_DTR;
    return changes;
}

namespace {

SavedTerminal Saved(const termios2& tio) {
    SavedTerminal saved;
    saved.flags = {tio.c_iflag, tio.c_oflag, tio.c_cflag, tio.c_lflag, tio.c_ispeed, tio.c_ospeed};
    saved.lineDiscipline = tio.c_line;
    static_assert(sizeof tio.c_cc == sizeof saved.controlChars);
    std::copy(std::begin(tio.c_cc), std::end(tio.c_cc), saved.controlChars.begin());
    return saved;
}

void SetFlags(termios2& tio, const TerminalFlags& flags) {
    tio.c_iflag = flags.iflag;
    tio.c_oflag = flags.oflag;
    tio.c_cflag = flags.cflag;
    tio.c_lflag = flags.lflag;
    tio.c_ispeed = flags.inputSpeed;
    tio.c_ospeed = flags.outputSpeed;
}

}  // namespace

int ApplyLineSettings(int fd, const LineSettings& settings, SavedTerminal& previous) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0) {
        return errno;
    }
    previous = Saved(tio);
    SetFlags(tio, EncodeLineSettings(previous.flags, settings));
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::ioctl(fd, TCSETS2, &tio) != 0) {
        return errno;
    }

    // The results are left alone: a pseudo-terminal has no modem lines to set.
    const ModemLineChanges lines = ModemLinesAtOpen(settings);
    if (int raise = int(lines.raise); raise != 0) {
        (void)::ioctl(fd, TIOCMBIS, &raise);
    }
    if (int lower = int(lines.lower); lower != 0) {
        (void)::ioctl(fd, TIOCMBIC, &lower);
    }
    return 0;
}

int RestoreTerminal(int fd, const SavedTerminal& previous) {
    termios2 tio{};
    SetFlags(tio, previous.flags);
    tio.c_line = previous.lineDiscipline;
    std::copy(previous.controlChars.begin(), previous.controlChars.end(), std::begin(tio.c_cc));
    return ::ioctl(fd, TCSETS2, &tio) == 0 ? 0 : errno;
}

}  // namespace fw
