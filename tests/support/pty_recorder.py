#!/usr/bin/env python3
"""Stands in for the controller box in end-to-end runs: opens a pseudo-terminal, writes the
path of its device side to the file named first, and appends every byte that arrives to the file
named second, until a bound of time has passed or it is told to stop (SIGTERM). Told to stop, it
first takes in every byte still waiting on the line, so that the record is whole once it has
ended."""
import os
import select
import signal
import sys
import time
import tty

path_file, record_file = sys.argv[1], sys.argv[2]
limit = float(sys.argv[3]) if len(sys.argv) > 3 else 120.0
stopping = False


def stop(signum, frame):
    global stopping
    stopping = True


signal.signal(signal.SIGTERM, stop)
master, slave = os.openpty()
tty.setraw(slave)
end = time.monotonic() + limit
with open(record_file, "ab", buffering=0) as out:
    # Whatever the program writes before the first read waits in the line's buffer, and the
    # recorder keeps its own device side open, so the program's closing it never hangs the line up.
    with open(path_file + ".tmp", "w") as f:
        f.write(os.ttyname(slave))
    os.rename(path_file + ".tmp", path_file)
    while time.monotonic() < end:
        ready, _, _ = select.select([master], [], [], 0 if stopping else 0.2)
        if not ready:
            if stopping:
                break
            continue
        try:
            out.write(os.read(master, 4096))
        except OSError:
            # EIO while no device side is open: nothing more can be waiting.
            if stopping:
                break
            time.sleep(0.05)
