#!/usr/bin/env bash
# Builds the logic and its tests under AddressSanitizer and
# UndefinedBehaviorSanitizer and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build-sanitize -DKELVANE_GUI=OFF -DKELVANE_SANITIZE=ON
cd build-sanitize
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$(nproc)"
