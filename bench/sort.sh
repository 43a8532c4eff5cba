#!/usr/bin/env bash
# Times the result-grid sort with kelvane-sortbench and records its table in
# bench/README.md between the <!-- results:sort --> markers (added at the end
# when missing); the rest of the file stays as it is. Builds nothing.
#
#   bench/sort.sh [ROWS]     default 1000000
#
# Environment:
#   KELVANE_BUILD   build directory holding bin/kelvane-sortbench (default:
#                   build, relative to the repository root)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KELVANE_BUILD:-build}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
BENCH=$BUILD/bin/kelvane-sortbench
README=$ROOT/bench/README.md

if [[ ! -x $BENCH ]]; then
  echo "sort.sh: $BENCH not found; build first (cmake --build $BUILD --target kelvane-sortbench)" >&2
  exit 1
fi

TABLE=$("$BENCH" "$@")
BUILD_TYPE=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt" 2>/dev/null || true)
CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)

export TABLE BUILD_TYPE CPU
python3 - "$README" <<'PY'
import datetime
import os
import re
import sys

readme = sys.argv[1]
start, end = "<!-- results:sort -->", "<!-- /results:sort -->"
note = (f"Measured {datetime.date.today().isoformat()} with `bench/sort.sh` on "
        f"{os.environ['CPU'] or 'an unknown CPU'} ({os.cpu_count()} CPUs), "
        f"build type {os.environ['BUILD_TYPE'] or 'unknown'}.")
body = f"{start}\n{note}\n\n{os.environ['TABLE'].strip()}\n{end}"

with open(readme) as f:
    text = f.read()
pattern = re.compile(re.escape(start) + r".*?" + re.escape(end), re.S)
if pattern.search(text):
    text = pattern.sub(lambda _: body, text, count=1)
else:
    text = text.rstrip("\n") + f"\n\n### sort\n\n{body}\n"
with open(readme, "w") as f:
    f.write(text)
PY

sed -n "/<!-- results:sort -->/,/<!-- \/results:sort -->/p" "$README"
