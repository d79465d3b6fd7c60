#!/usr/bin/python3
# A folder whose files list and open at once but whose reads never answer, as a network share
# does when its server stops responding. Mounted by scripts/test for the tests and benchmarks
# that put a picture there:  stalled_fs.py MOUNTPOINT  (unmount with fusermount3 -u -z).
import ctypes
import errno
import stat
import sys
import time

import fusepy
from fusepy import FUSE, FuseOSError, Operations

NAMES = ("stalled.jpg", "stalled.png")
SIZE = 1 << 20

fuse_interrupted = fusepy._libfuse.fuse_interrupted
fuse_interrupted.restype = ctypes.c_int


class Stalled(Operations):
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
        # Never answers, but lets go of a reader that is being killed, as Windows cancels the
        # reads of a thread that ends: a reader the kernel cannot kill would outlive its process.
        while not fuse_interrupted():
            time.sleep(0.05)
        raise FuseOSError(errno.EINTR)


if __name__ == "__main__":
    # Reads come straight here, past the page cache: a cached page locked by the read that
    # never answers would stall Wine's server too, when on Windows only the reader waits.
    FUSE(Stalled(), sys.argv[1], foreground=True, nothreads=False, ro=True, direct_io=True,
         intr=True)
