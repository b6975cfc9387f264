#!/usr/bin/env bash
# Random input in a real X session: runs `logger` (on logger-sim, with the demo log and
# damaged logs in dlg/) and then `meter` (on the simulator's live frames), each from the
# AddressSanitizer/UBSan build, in a scratch copy of the program directory under its own
# Xvfb, and sends clicks, drags, wheel turns, keys, typed text and close requests drawn
# from SEED for SECONDS each (default 60), while the simulator's faults come and go
# (tools/monkey/monkey.py).
# A crash, a sanitizer report, a program that stops answering or a window that cannot be
# closed fails the run (exit 1) with the seed, the last 50 events and a screenshot in
# build-monkey/PROGRAM-output/ (the scratch directory stays, linked as
# build-monkey/PROGRAM). Replay a failure with the same SECONDS and SEED; PROGRAMS picks
# which programs run (default "logger meter"). VELKARO_MONKEY_NO_BUILD=1 skips the build.
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
  # The scratch copy lives in /tmp: run as root, the programs run as nobody, who may not
  # be able to reach a checkout below root's home. build-monkey/PROGRAM points at it.
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/velkaro-monkey.XXXXXX")
  chmod 755 "$tmp"
  scratch="$tmp/$program"
  mkdir -p "$scratch"
  # The last run's scratch copy goes when its link is replaced.
  if [ -L "$out/$program" ]; then
    last=$(dirname "$(readlink "$out/$program")")
    case "$last" in */velkaro-monkey.*) rm -rf "$last" ;; esac
  fi
  rm -rf "$out/$program" "$out/$program-output"
  ln -s "$scratch" "$out/$program"
  cp -r "$build/program/." "$scratch/"
  rm -f "$scratch"/cap/* "$scratch"/video/*
  prepare_program_dir "$scratch" "$scratch/logger-sim.tty"
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
