#!/usr/bin/env bash
# Starts Kelvane on a headless Wayland compositor (weston) and checks that it
# comes up and stays up: the Wayland platform plugin loads, the display is
# opened and the launcher runs. Exit 77 (skipped) when weston is missing.
# usage: scripts/wayland-check.sh PATH/TO/kelvane
set -uo pipefail
program=${1:?usage: wayland-check.sh PATH/TO/kelvane}
command -v weston >/dev/null || { echo "weston is not installed: skipped"; exit 77; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime XDG_CONFIG_HOME=$runtime/config
socket=kelvane-check-$$
weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston_pid=$!
cleanup() {
  kill "$weston_pid" 2>/dev/null
  wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT

for _ in $(seq 50); do
  [ -S "$runtime/$socket" ] && break
  sleep 0.1
done
if [ ! -S "$runtime/$socket" ]; then
  echo "weston did not start:"; cat "$runtime/weston.log"
  exit 77
fi

env -u DISPLAY WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland "$program" >"$runtime/kelvane.log" 2>&1 &
kelvane_pid=$!
sleep 3
if ! kill -0 "$kelvane_pid" 2>/dev/null; then
  wait "$kelvane_pid"
  echo "kelvane ended on Wayland with status $?:"; cat "$runtime/kelvane.log"
  exit 1
fi
kill "$kelvane_pid"
wait "$kelvane_pid" 2>/dev/null
if grep -qiE "could not|failed|error" "$runtime/kelvane.log"; then
  echo "kelvane complained on Wayland:"; cat "$runtime/kelvane.log"
  exit 1
fi
echo "kelvane runs on Wayland (weston, headless)"
