#!/usr/bin/python3
"""A read-only mirror of a folder that answers nothing until a gate opens: a hanging mount (a
network share gone to sleep) that a test releases when it chooses.

usage: gatedfs.py SOURCE MOUNTPOINT GATE LIMIT-SECONDS
Every request waits until the file GATE exists. If LIMIT seconds pass first, the file system
writes GATE + ".timed-out" and answers from then on, so that a program stuck on the mount ends
and its test can say so instead of hanging. Runs in the foreground until unmounted.
"""
import errno
import os
import sys
import time

import fusepy  # Debian's python3-fusepy


class GatedMirror(fusepy.Operations):
    def __init__(self, source, gate, limit):
        self.source = source
        self.gate = gate
        self.deadline = time.monotonic() + limit

    def _real(self, path):
        while not os.path.exists(self.gate):
            if time.monotonic() > self.deadline:
                with open(self.gate + ".timed-out", "w"):
                    pass
                break
            time.sleep(0.02)
        return os.path.join(self.source, path.lstrip("/"))

    def getattr(self, path, fh=None):
        try:
            st = os.lstat(self._real(path))
        except OSError as e:
            raise fusepy.FuseOSError(e.errno)
        return {key: getattr(st, key) for key in (
            "st_mode", "st_nlink", "st_size", "st_uid", "st_gid",
            "st_atime", "st_mtime", "st_ctime")}

    def readdir(self, path, fh):
        return [".", ".."] + os.listdir(self._real(path))

    def statfs(self, path):
        st = os.statvfs(self._real(path))
        return {key: getattr(st, key) for key in (
            "f_bsize", "f_frsize", "f_blocks", "f_bfree", "f_bavail",
            "f_files", "f_ffree", "f_favail", "f_flag", "f_namemax")}

    def open(self, path, flags):
        if flags & (os.O_WRONLY | os.O_RDWR):
            raise fusepy.FuseOSError(errno.EROFS)
        return os.open(self._real(path), os.O_RDONLY)

    def read(self, path, size, offset, fh):
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__)
    source, mountpoint, gate, limit = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
    # Once the deadline passed, the gate counts as open: nothing waits twice.
    fusepy.FUSE(GatedMirror(os.path.abspath(source), gate, limit), mountpoint,
                foreground=True, ro=True, nothreads=False)
