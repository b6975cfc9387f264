#!/usr/bin/env bash
# Random input in a real X session: runs `logger` (on logger-sim, with the demo log and
# damaged logs in dlg/) and then `meter` (on the simulator's live frames), each from the
# AddressSanitizer/UBSan build, in a scratch copy of the program directory under its own
# Xvfb, and sends clicks, drags, wheel turns, keys, typed text and close requests drawn
# from SEED for SECONDS each (default 60), while the simulator's faults come and go
# (tools/monkey/monkey.py).
# A crash, a sanitizer report, a program that stops answering or a window that cannot be
# closed fails the run (exit 1) with the seed, the last 50 events and a screenshot in
# build-monkey/. Replay a failure with the same SECONDS and SEED; PROGRAMS picks which
# programs run (default "logger meter"). VELKARO_MONKEY_NO_BUILD=1 skips the build step.
#
#   bash scripts/monkey.sh [SECONDS] [SEED] [PROGRAMS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
seed=${2:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
programs=${3:-logger meter}
build=build-asan
out=build-monkey

if [ "${VELKARO_MONKEY_NO_BUILD:-0}" != 1 ]; then
  [ -d "$build" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELKARO_SANITIZE=ON -DVELKARO_BENCH=OFF
  cmake --build "$build" -j "$(nproc)" --target logger meter logger-sim logtool
fi
source scripts/progdir.sh

echo "monkey: seed $seed, $seconds s per program (replay: bash scripts/monkey.sh $seconds $seed)"
mkdir -p "$out"
status=0
for program in $programs; do
  scratch="$out/$program"
  rm -rf "$scratch" "$out/$program-output"
  mkdir -p "$scratch"
  cp -r "$build/program/." "$scratch/"
  rm -f "$scratch"/cap/* "$scratch"/video/*
  prepare_program_dir "$scratch" "$PWD/$scratch/logger-sim.tty"
  extra=()
  if [ "$program" = logger ]; then
    "$scratch/logger-sim" --write-image "$scratch/dlg/demo.dlt"
    extra=(--damaged-logs)
  fi
  if ! /usr/bin/python3 tools/monkey/monkey.py --program "$program" --program-dir "$scratch" \
       --channels "$(sim_channels "$program")" --seconds "$seconds" --seed "$seed" \
       --out "$out/$program-output" "${extra[@]}"; then
    status=1
    echo "monkey: $program FAILED with seed $seed; replay: bash scripts/monkey.sh $seconds $seed $program" >&2
  fi
done
exit "$status"
