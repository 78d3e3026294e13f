#!/usr/bin/env python3
"""A controller box that has stopped reading, as a virtual port whose reader hangs: opens a
pseudo-terminal, writes the path of its device side to the file named first, and reads nothing
until told to (SIGUSR1). From then on it appends every byte to the file named second, and ends
once the line is closed and nothing more is waiting (or a bound of time has passed). It keeps no
device side open itself, so that the program's close is the end of the record."""
import os
import select
import signal
import sys
import time

path_file, record_file = sys.argv[1], sys.argv[2]
limit = float(sys.argv[3]) if len(sys.argv) > 3 else 170.0
# Held back from the start, so that a signal sent before the wait below is not lost.
signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGUSR1])
master, slave = os.openpty()
with open(path_file + ".tmp", "w") as f:
    f.write(os.ttyname(slave))
os.close(slave)
os.rename(path_file + ".tmp", path_file)
end = time.monotonic() + limit
signal.sigtimedwait([signal.SIGUSR1], limit)
with open(record_file, "ab", buffering=0) as out:
    while time.monotonic() < end:
        ready, _, _ = select.select([master], [], [], 0.2)
        if not ready:
            continue
        try:
            out.write(os.read(master, 4096))
        except OSError:
            # EIO: no device side is open, and nothing is left to read.
            break
