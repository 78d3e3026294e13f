#!/usr/bin/env python3
"""Another program holding a serial port the way tools that take no lock do: opens the device
named first, sets its exclusive flag (TIOCEXCL) and cooked settings of its own, writes what it
set to the file named second, and holds the port until told to let go (SIGUSR1). Then it writes
what the port has now to the file named third, clears its flag and ends. Each record is the
terminal's settings and its exclusive flag, one line."""
import fcntl
import os
import signal
import struct
import sys
import termios

device, before_file, after_file = sys.argv[1:4]
TIOCGEXCL = 0x80045440


def record(fd, path):
    exclusive = struct.unpack("i", fcntl.ioctl(fd, TIOCGEXCL, b"\0" * 4))[0]
    with open(path + ".tmp", "w") as f:
        f.write(f"{termios.tcgetattr(fd)!r} exclusive={exclusive}\n")
    os.rename(path + ".tmp", path)


signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGUSR1])
fd = os.open(device, os.O_RDWR | os.O_NOCTTY)
fcntl.ioctl(fd, termios.TIOCEXCL)
attributes = termios.tcgetattr(fd)
attributes[0] |= termios.ICRNL
attributes[1] |= termios.OPOST | termios.ONLCR
attributes[3] |= termios.ICANON | termios.ECHO
attributes[4] = attributes[5] = termios.B1200
termios.tcsetattr(fd, termios.TCSANOW, attributes)
record(fd, before_file)
signal.sigtimedwait([signal.SIGUSR1], 170)
record(fd, after_file)
fcntl.ioctl(fd, termios.TIOCNXCL)
