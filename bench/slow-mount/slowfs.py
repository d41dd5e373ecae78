#!/usr/bin/python3
"""A read-only mirror of a folder that answers every request only after a delay: a slow or
hanging mount (a sleeping network share, a failing USB stick) for the window's start-up.

usage: slowfs.py SOURCE MOUNTPOINT DELAY-SECONDS
Runs in the foreground until unmounted (fusermount -u MOUNTPOINT). Each request, the file
system's statistics (statfs) included, sleeps DELAY seconds first, in a thread of its own.
"""
import os
import sys
import time

import fusepy  # Debian's python3-fusepy

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
from fusemirror import WaitingMirror  # noqa: E402


class SlowMirror(WaitingMirror):
    def __init__(self, source, delay):
        super().__init__(source)
        self.delay = delay

    def wait(self):
        time.sleep(self.delay)

    def read(self, path, size, offset, fh):
        self.wait()
        return super().read(path, size, offset, fh)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, mountpoint, delay = sys.argv[1], sys.argv[2], float(sys.argv[3])
    fusepy.FUSE(SlowMirror(os.path.abspath(source), delay), mountpoint,
                foreground=True, ro=True, nothreads=False)
