"""A file system whose folder reads take a while, as a slow network share's
do. Its root holds a few files; each read of it is logged before and after
the wait, so a test can tell when one is under way and count them. With
--statfs-hangs, a question about the file system itself (statfs) is never
answered, as on a hung network share whose entries are cached.

Usage: slow_fs.py MOUNTPOINT LOG SECONDS [--statfs-hangs]"""

import errno
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations

FILES = ["one.txt", "three.txt", "two.txt"]


class SlowFolder(Operations):
    def __init__(self, log, seconds, statfs_hangs):
        self.log = log
        self.seconds = seconds
        self.statfs_hangs = statfs_hangs

    def note(self, line):
        with open(self.log, "a") as log:
            log.write(line + "\n")

    def getattr(self, path, fh=None):
        if path == "/":
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if path.lstrip("/") in FILES:
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": 0}
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        self.note("read begins " + path)
        time.sleep(self.seconds)
        self.note("read ends " + path)
        return [".", ".."] + FILES

    def statfs(self, path):
        if self.statfs_hangs:
            self.note("statfs hangs")
            while True:
                time.sleep(60)
        return {}


if __name__ == "__main__":
    mountpoint, log, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    hangs = "--statfs-hangs" in sys.argv[4:]
    # The mount point may hold files of its own, shown once it is unmounted.
    FUSE(SlowFolder(log, seconds, hangs), mountpoint, foreground=True, nonempty=True)
