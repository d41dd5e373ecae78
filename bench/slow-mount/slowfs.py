#!/usr/bin/python3
"""A read-only mirror of a folder that answers every request only after a delay: a slow or
hanging mount (a sleeping network share, a failing USB stick) for the window's start-up.

usage: slowfs.py SOURCE MOUNTPOINT DELAY-SECONDS
Runs in the foreground until unmounted (fusermount -u MOUNTPOINT). Each request, the file
system's statistics (statfs) included, sleeps DELAY seconds first, in a thread of its own.
"""
import errno
import os
import sys
import time

import fusepy  # Debian's python3-fusepy


class SlowMirror(fusepy.Operations):
    def __init__(self, source, delay):
        self.source = source
        self.delay = delay

    def _real(self, path):
        time.sleep(self.delay)
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
        time.sleep(self.delay)
        return os.pread(fh, size, offset)

    def release(self, path, fh):
        os.close(fh)


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    source, mountpoint, delay = sys.argv[1], sys.argv[2], float(sys.argv[3])
    fusepy.FUSE(SlowMirror(os.path.abspath(source), delay), mountpoint,
                foreground=True, ro=True, nothreads=False)
