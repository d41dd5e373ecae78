"""A read-only FUSE mirror of a folder that calls wait() before it looks up a path: the common part
of the file systems that stand in for slow or hanging mounts (Debian's python3-fusepy)."""
import errno
import os

import fusepy


class WaitingMirror(fusepy.Operations):
    def __init__(self, source):
        self.source = source

    def wait(self):
        """Called before each path is looked up."""

    def _real(self, path):
        self.wait()
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
