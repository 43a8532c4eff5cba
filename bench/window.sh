#!/usr/bin/env bash
# Runs kelvane-windowbench (the file-hogs window filled with every file of the
# bench tree, sorted by each key, then closed; off screen) and records its
# table in bench/README.md between the <!-- results:window --> markers (added
# at the end when missing); the rest of the file stays as it is. Builds
# nothing; the tree is the one bench/run.sh generates.
#
#   bench/window.sh
#
# Environment:
#   KELVANE_BUILD        build directory holding bin/kelvane-windowbench
#                        (default: build, relative to the repository root)
#   KELVANE_BENCH_TREE   the tree (default: /var/tmp/kelvane-bench-tree)
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${KELVANE_BUILD:-build}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
BENCH=$BUILD/bin/kelvane-windowbench
TREE=${KELVANE_BENCH_TREE:-/var/tmp/kelvane-bench-tree}
README=$ROOT/bench/README.md

if [[ ! -x $BENCH ]]; then
  echo "window.sh: $BENCH not found; build first (cmake --build $BUILD --target kelvane-windowbench)" >&2
  exit 1
fi
if [[ ! -f $TREE/kelvane-gentree.done ]]; then
  echo "window.sh: no complete tree at $TREE; bench/run.sh generates it" >&2
  exit 1
fi

TABLE=$(QT_QPA_PLATFORM=offscreen "$BENCH" "$TREE")
BUILD_TYPE=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$BUILD/CMakeCache.txt" 2>/dev/null || true)
CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)

NOTE="Recorded $(date -u '+%F %H:%M UTC') with \`bench/window.sh\` on ${CPU:-an unknown CPU} ($(nproc) CPUs), build type ${BUILD_TYPE:-unknown}, tree \`$TREE\`, \`QT_QPA_PLATFORM=offscreen\`."
printf '%s\n' "$TABLE" | python3 "$ROOT/bench/recordtable.py" "$README" window "$NOTE"

sed -n "/<!-- results:window -->/,/<!-- \/results:window -->/p" "$README"
