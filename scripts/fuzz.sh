#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer + UBSan) in
# build-fuzz/, makes their seeds with the project's own tools (fuzz/seeds.sh) and runs
# each target in turn for SECONDS seconds (default 60). A crash or a broken promise
# stops the script; the input that caused it is kept in build-fuzz/crashes/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DVELKARO_FUZZ=ON -DVELKARO_SANITIZE=ON -DVELKARO_TESTS=OFF -DVELKARO_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzzers logger-sim logtool
bash fuzz/seeds.sh "$build"

export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
mkdir -p "$build/crashes"
for target in $(find "$build/fuzz" -maxdepth 1 -type f -name "fuzz_*" -perm -u+x | sort); do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  log="$build/fuzz-$name.log"
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$build/crashes/$name-" \
       "$corpus" "$build/seeds/$name" >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$name: FAILED (input kept in $build/crashes/)" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$name: $runs inputs in ${seconds} s, no crash"
done
