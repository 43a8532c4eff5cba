#!/usr/bin/env python3
"""Records one table in bench/README.md between its <!-- results:GROUP -->
markers (added at the end, under a heading, when missing); the rest of the
file stays as it is.

    record-table.py README GROUP NOTE   (the table on standard input)
"""
import re
import sys

readme, group, note = sys.argv[1:4]
table = sys.stdin.read().strip()
start, end = f"<!-- results:{group} -->", f"<!-- /results:{group} -->"
body = f"{start}\n{note}\n\n{table}\n{end}"

with open(readme) as f:
    text = f.read()
pattern = re.compile(re.escape(start) + r".*?" + re.escape(end), re.S)
if pattern.search(text):
    text = pattern.sub(lambda _: body, text, count=1)
else:
    text = text.rstrip("\n") + f"\n\n### {group}\n\n{body}\n"
with open(readme, "w") as f:
    f.write(text)
