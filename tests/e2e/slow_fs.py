"""A file system whose folder reads take a while, as a slow network share's
do. Its root holds a few files; each read of it is logged before and after
the wait, so a test can tell when one is under way and count them. With
--statfs-hangs, a question about the file system itself (statfs) is never
answered, as on a hung network share whose entries are cached. With --more
FILE, the names FILE holds, one a line, are files too: a test that writes
it changes the folder behind the kernel's back, as another machine changes
a share. With --stat-hangs PATH, a question about PATH (below its root, in
folders of its own, so that its hung lookup holds no folder the tests read)
is never answered.

Usage: slow_fs.py MOUNTPOINT LOG SECONDS [--statfs-hangs] [--more FILE] [--stat-hangs PATH]"""

import errno
import stat
import sys
import threading
import time

from fusepy import FUSE, FuseOSError, Operations

FILES = ["one.txt", "three.txt", "two.txt"]


class SlowFolder(Operations):
    def __init__(self, log, seconds, statfs_hangs, more, stat_hangs):
        self.log = log
        self.stat_hangs = stat_hangs
        self.seconds = seconds
        self.statfs_hangs = statfs_hangs
        self.more = more

    def files(self):
        try:
            with open(self.more) as more:
                return FILES + more.read().split()
        except (OSError, TypeError):
            return FILES

    def note(self, line):
        with open(self.log, "a") as log:
            log.write(line + "\n")

    def getattr(self, path, fh=None):
        if path == "/":
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if self.stat_hangs and path == "/" + self.stat_hangs:
            self.note("stat hangs " + path)
            threading.Event().wait()
        if self.stat_hangs and ("/" + self.stat_hangs).startswith(path + "/"):
            return {"st_mode": stat.S_IFDIR | 0o755, "st_nlink": 2}
        if path.lstrip("/") in self.files():
            return {"st_mode": stat.S_IFREG | 0o644, "st_nlink": 1, "st_size": 0}
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        self.note("read begins " + path)
        time.sleep(self.seconds)
        self.note("read ends " + path)
        return [".", ".."] + self.files()

    def statfs(self, path):
        if self.statfs_hangs:
            self.note("statfs hangs")
            threading.Event().wait()  # Set by no one: never answered.
        return {}


if __name__ == "__main__":
    mountpoint, log, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    options = sys.argv[4:]
    hangs = "--statfs-hangs" in options
    more = options[options.index("--more") + 1] if "--more" in options else None
    stat_hangs = options[options.index("--stat-hangs") + 1] if "--stat-hangs" in options else None
    # The mount point may hold files of its own, shown once it is unmounted.
    FUSE(SlowFolder(log, seconds, hangs, more, stat_hangs), mountpoint, foreground=True, nonempty=True)
