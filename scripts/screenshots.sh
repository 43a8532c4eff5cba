#!/usr/bin/env bash
# Retakes the README's screenshots (docs/screenshots/*.png): every tool window
# on a demonstration tree, under Xvfb with the twm window manager.
# usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh xvfb twm x11-utils imagemagick
build=${1:-build}
scripts/build.sh "$build"
out=docs/screenshots
mkdir -p "$out"

display=:$((90 + RANDOM % 100))
work=$(mktemp -d)
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
  kill "$twm_pid" "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
twm >/dev/null 2>&1 &
twm_pid=$!
sleep 1

# The demonstration tree sits at a short, plain path so the pictures read well.
demo=/tmp/demo
rm -rf "$demo"
coproc SHOTS { XDG_CONFIG_HOME=$work/config "$build/bin/kelvane-screenshots" "$demo"; }
shots_pid=$SHOTS_PID
while read -r word name window <&"${SHOTS[0]}"; do
  [ "$word" = SHOT ] || continue
  import -frame -window "$window" "$out/$name.png"
  echo "took $out/$name.png"
  echo >&"${SHOTS[1]}"
done
wait "$shots_pid"
rm -rf "$demo"
