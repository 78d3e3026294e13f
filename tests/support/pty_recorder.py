#!/usr/bin/env python3
"""Stands in for the controller box in end-to-end runs: opens a pseudo-terminal, writes the
path of its device side to the file named first, and appends every byte that arrives to the file
named second, until it is stopped or a bound of time has passed."""
import os
import select
import sys
import time
import tty

path_file, record_file = sys.argv[1], sys.argv[2]
limit = float(sys.argv[3]) if len(sys.argv) > 3 else 120.0
master, slave = os.openpty()
tty.setraw(slave)
with open(path_file + ".tmp", "w") as f:
    f.write(os.ttyname(slave))
os.rename(path_file + ".tmp", path_file)
end = time.monotonic() + limit
with open(record_file, "ab", buffering=0) as out:
    while time.monotonic() < end:
        ready, _, _ = select.select([master], [], [], 0.2)
        if ready:
            try:
                out.write(os.read(master, 4096))
            except OSError:
                # The program closed its side; keep ours so it can open it again.
                time.sleep(0.05)
