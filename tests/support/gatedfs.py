#!/usr/bin/python3
"""A read-only mirror of a folder that answers nothing until a gate opens: a hanging mount (a
network share gone to sleep) that a test releases when it chooses.

usage: gatedfs.py SOURCE MOUNTPOINT GATE LIMIT-SECONDS
Every request waits until the file GATE exists. If LIMIT seconds pass first, the file system
writes GATE + ".timed-out" and answers from then on, so that a program stuck on the mount ends
and its test can say so instead of hanging. Runs in the foreground until unmounted.
"""
import os
import sys
import time

import fusepy  # Debian's python3-fusepy
from fusemirror import WaitingMirror


class GatedMirror(WaitingMirror):
    def __init__(self, source, gate, limit):
        super().__init__(source)
        self.gate = gate
        self.deadline = time.monotonic() + limit

    def wait(self):
        while not os.path.exists(self.gate):
            if time.monotonic() > self.deadline:
                with open(self.gate + ".timed-out", "w"):
                    pass
                break
            time.sleep(0.02)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source, mountpoint, gate, limit = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    # Once the deadline passed, the gate counts as open: nothing waits twice.
    fusepy.FUSE(GatedMirror(os.path.abspath(source), gate, limit), mountpoint,
                foreground=True, ro=True, nothreads=False)
