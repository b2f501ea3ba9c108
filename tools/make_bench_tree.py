#!/usr/bin/env python3
"""Makes the benchmark's trees, always the same for the same arguments (fixed seed).

  make_bench_tree.py DIR mixed  FILES DIRS JUNK   e.g. 100000 5000 2000
  make_bench_tree.py DIR junk   FILES             every file matches a pattern
  make_bench_tree.py DIR flat   FILES             junk files, all in one folder: the walk
                                                  meets them in the list's sort order
  make_bench_tree.py DIR spread FILES             junk files, 100 a folder in folders d0000...:
                                                  the walk takes the last folder listed first,
                                                  the reverse of the list's sort order
"""
import os
import random
import sys

PATTERNS = ["tmp", "old", "gid", "_mp", "syd"]
ORDINARY = ["txt", "dll", "exe", "jpg", "doc", "dat", "log", "ini"]


def make_dirs(root, count, rng):
    """count folders, nested up to five levels, in a stable order."""
    dirs = [root]
    for i in range(count - 1):
        parent = rng.choice(dirs[-50:]) if len(dirs) > 1 and rng.random() < 0.6 else root
        if parent.count(os.sep) - root.count(os.sep) >= 5:
            parent = root
        path = os.path.join(parent, "dir%05d" % i)
        os.mkdir(path)
        dirs.append(path)
    return dirs


def write(path, size):
    with open(path, "wb") as f:
        if size:
            f.truncate(size)


def main():
    root, kind = sys.argv[1], sys.argv[2]
    rng = random.Random(20261207)
    os.makedirs(root)
    if kind == "mixed":
        files, ndirs, junk = int(sys.argv[3]), int(sys.argv[4]), int(sys.argv[5])
        dirs = make_dirs(root, ndirs, rng)
        junk_at = set(rng.sample(range(files), junk))
        for i in range(files):
            ext = rng.choice(PATTERNS) if i in junk_at else rng.choice(ORDINARY)
            write(os.path.join(dirs[i % len(dirs)], "file%06d.%s" % (i, ext)), rng.randrange(0, 64 * 1024))
    elif kind in ("flat", "spread"):
        # spread: PER files a folder (100); "sizes" gives each a size of its own (sparse, so
        # no disk space), for sorting
        files = int(sys.argv[3])
        per = int(sys.argv[4]) if len(sys.argv) > 4 else 100
        sizes = len(sys.argv) > 5 and sys.argv[5] == "sizes"
        for i in range(files):
            folder = root if kind == "flat" else os.path.join(root, "d%04d" % (i // per))
            if i % per == 0 and folder != root:
                os.mkdir(folder)
            write(os.path.join(folder, "junk-%07d.tmp" % i), rng.randrange(1, 1 << 24) if sizes else 100)
    else:
        files = int(sys.argv[3])
        dirs = make_dirs(root, max(1, files // 100), rng)
        for i in range(files):
            name = "a-rather-long-junk-file-name-%06d.%s" % (i, rng.choice(PATTERNS))
            write(os.path.join(dirs[i % len(dirs)], name), rng.randrange(0, 8 * 1024))
    return 0


if __name__ == "__main__":
    sys.exit(main())
