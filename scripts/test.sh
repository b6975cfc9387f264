#!/usr/bin/env bash
# Builds everything twice (normal, and with AddressSanitizer + UBSan) and runs the
# whole suite in both builds, the locale-labelled suites again in a decimal-comma and a
# Swedish locale; then runs every fuzz target for a short while (scripts/fuzz.sh) and
# sends random input to the sanitized logger and meter for a minute each
# (scripts/monkey.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure --timeout 600 -j "$jobs")
(cd build && LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 ctest --output-on-failure --timeout 600 -j "$jobs" -L locale)
# A locale whose exponent symbol is not "e" and whose minus sign is U+2212.
(cd build && LANG=sv_SE.UTF-8 LC_ALL=sv_SE.UTF-8 ctest --output-on-failure --timeout 600 -j "$jobs" -L locale)

cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELKARO_SANITIZE=ON -DVELKARO_BENCH=OFF
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure --timeout 600 -j "$jobs")

# Every fuzz target for about 20 s (clang, libFuzzer, ASan + UBSan).
bash scripts/fuzz.sh 20

# Random clicks, keys and text into logger and meter on a virtual screen, 60 s each.
VELKARO_MONKEY_NO_BUILD=1 bash scripts/monkey.sh 60
