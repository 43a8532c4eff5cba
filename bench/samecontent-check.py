#!/usr/bin/env python3
"""Compares two duplicate listings as sets of path sets.

    samecontent-check.py KELVANE_OUTPUT OTHER_OUTPUT

Both files hold groups of paths, one path per line, groups separated by an
empty line (kelvane-cli same-content and fdupes -r -n print that form).
Exits 0 when the groups are the same, 1 (with the differences) otherwise.
"""
import sys


def groups(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", "surrogateescape")
    out = set()
    for block in text.split("\n\n"):
        paths = frozenset(line for line in block.split("\n") if line)
        if paths:
            out.add(paths)
    return out


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    ours, theirs = groups(sys.argv[1]), groups(sys.argv[2])
    if ours == theirs:
        files = sum(len(g) for g in ours)
        print(f"same groups: {len(ours)} groups, {files} files")
        return 0
    for g in sorted(ours - theirs, key=sorted)[:10]:
        print("only in the first:", sorted(g))
    for g in sorted(theirs - ours, key=sorted)[:10]:
        print("only in the second:", sorted(g))
    print(f"groups differ: {len(ours - theirs)} only in the first, {len(theirs - ours)} only in the second")
    return 1


sys.exit(main())
