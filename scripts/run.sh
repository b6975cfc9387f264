#!/usr/bin/env bash
# Builds everything, starts the logger simulator on a pseudo-terminal, points the
# logger's port 1 at it and starts `logger` on the demo program directory. The
# simulator stops when the logger exits. `run.sh meter` starts `meter` instead, on a
# simulator whose live frames carry all twelve channels.
set -euo pipefail
cd "$(dirname "$0")/.."
program="${1:-logger}"
source scripts/progdir.sh
sim_channels=$(sim_channels "$program") || { echo "usage: scripts/run.sh [logger|meter]" >&2; exit 2; }
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"

prog="$PWD/build/program"
tty_link="$prog/logger-sim.tty"
# The demo configuration and settings (kept if present), the demo log, port 1 on the
# simulator.
prepare_program_dir "$prog" "$tty_link"

"$prog/logger-sim" --link "$tty_link" --channels "$sim_channels" --rate 10 --seconds 600 &
sim_pid=$!
xvfb_pid=""
cleanup() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "$tty_link" ] && break; sleep 0.1; done
[ -e "$tty_link" ] || { echo "logger-sim did not start" >&2; exit 1; }

if [ -z "${DISPLAY:-}" ]; then
  display=:77
  # -noreset: an X server that resets when its last client leaves puts the pointer back
  # in the middle of the screen, so a pointer placed (xdotool) before the program is up
  # would be lost and the first click would land on whatever lies in the middle.
  Xvfb "$display" -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY="$display"
  sleep 1
  echo "No DISPLAY: the $program runs on a virtual screen (Xvfb $display)."
fi
"$prog/$program"
