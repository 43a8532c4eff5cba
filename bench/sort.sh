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

NOTE="Measured $(date +%F) with \`bench/sort.sh\` on ${CPU:-an unknown CPU} ($(nproc) CPUs), build type ${BUILD_TYPE:-unknown}."
printf '%s\n' "$TABLE" | python3 "$ROOT/bench/recordtable.py" "$README" sort "$NOTE"

sed -n "/<!-- results:sort -->/,/<!-- \/results:sort -->/p" "$README"
