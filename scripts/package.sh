#!/usr/bin/env bash
# Builds the programs and the installed data, then the Debian package
# build/velkaro_<version>_amd64.deb. Install it with: apt-get install ./build/velkaro_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Only what the package holds: the test suites need not be built for it.
cmake --build build -j "$(nproc)" --target logger meter logtool logger-sim install_data
(cd build && cpack -G DEB)
ls build/velkaro_*.deb
