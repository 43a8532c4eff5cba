#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kelvane.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Kelvane is built (build/bin/kelvane) but needs a graphical display to start:" >&2
  echo "run this from a desktop session, or under Xvfb: xvfb-run -a build/bin/kelvane" >&2
  exit 1
fi
exec build/bin/kelvane
