#!/usr/bin/python3
# A folder whose files list and open at once but whose reads never answer, as a network share
# does when its server stops responding. Mounted by scripts/test for the tests and benchmarks
# that put a picture there:  stalled_fs.py MOUNTPOINT  (unmount with fusermount3 -u -z).
import errno
import stat
import sys
import threading

from fusepy import FUSE, FuseOSError, Operations

NAMES = ("stalled.jpg", "stalled.png")
SIZE = 1 << 20


class Stalled(Operations):
    def __init__(self):
        self.never = threading.Event()

    def getattr(self, path, fh=None):
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2)
        if path.lstrip("/") in NAMES:
            return dict(st_mode=stat.S_IFREG | 0o644, st_nlink=1, st_size=SIZE)
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        return [".", ".."] + list(NAMES)

    def open(self, path, flags):
        return 0

    def read(self, path, size, offset, fh):
        self.never.wait()
        return b""


if __name__ == "__main__":
    # Reads go straight to us, past the page cache: a cached page locked by the read that never
    # answers would stall Wine's server too, when on Windows only the reading thread waits.
    FUSE(Stalled(), sys.argv[1], foreground=True, nothreads=False, ro=True, direct_io=True)
