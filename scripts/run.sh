#!/usr/bin/env bash
# Builds everything and shows the demo log that the build produces.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)"
exec build/program/logtool info build/program/dlg/demo.dlg
