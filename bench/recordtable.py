#!/usr/bin/env python3
"""Records tables in bench/README.md between their <!-- results:GROUP -->
markers (added at the end, under a heading, when missing); the rest of the
file stays as it is.

    recordtable.py README GROUP NOTE   (the table on standard input)
"""
import re
import sys


def record(readme, sections):
    """sections: (group, body) pairs, body without the markers."""
    with open(readme) as f:
        text = f.read()
    for group, body in sections:
        start, end = f"<!-- results:{group} -->", f"<!-- /results:{group} -->"
        marked = f"{start}\n{body}\n{end}"
        pattern = re.compile(re.escape(start) + r".*?" + re.escape(end), re.S)
        if pattern.search(text):
            text = pattern.sub(lambda _: marked, text, count=1)
        else:
            text = text.rstrip("\n") + f"\n\n### {group}\n\n{marked}\n"
    with open(readme, "w") as f:
        f.write(text)


if __name__ == "__main__":
    readme, group, note = sys.argv[1:4]
    record(readme, [(group, f"{note}\n\n{sys.stdin.read().strip()}")])
