#!/usr/bin/env bash
# Builds and runs every test: the suite, the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a bounded time.
# Then the Windows build and its checks under Wine (tools/windows/test.sh; the first run compiles
# Qt for Windows once), unless PICTANOTE_WINDOWS=0. FUZZ_SECONDS (default
# 30) sets the time per fuzz target, 0 skips fuzzing.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

jobs=$(nproc)
# ccache (when installed) shares its results between checkouts in other folders: paths under
# the checkout are hashed relative to it.
export CCACHE_BASEDIR=$(pwd) CCACHE_NOHASHDIR=1
fuzz_seconds=${FUZZ_SECONDS:-30}
export QT_QPA_PLATFORM=offscreen

echo "== Suite"
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPICTANOTE_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== Benchmark (smoke run)"
build/test/bench/pictanote-bench --benchmark_min_time=0.01 >/dev/null

echo "== Suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPICTANOTE_SANITIZE=ON \
  -DPICTANOTE_BUILD_BENCH=OFF -DPICTANOTE_WERROR=ON >/dev/null
cmake --build build/asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build/asan --output-on-failure -j "$jobs"

if [ "$fuzz_seconds" -gt 0 ]; then
  echo "== Fuzzing, ${fuzz_seconds}s per target"
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPICTANOTE_FUZZ=ON -DPICTANOTE_BUILD_BENCH=OFF -DPICTANOTE_WERROR=ON >/dev/null
  cmake --build build/fuzz -j "$jobs" --target pictanote-fuzzers
  for fuzzer in build/fuzz/tests/fuzz/fuzz-*; do
    [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue  # not the build folders beside them
    name=$(basename "$fuzzer")
    corpus=build/fuzz/corpus/$name
    mkdir -p "$corpus"
    # Seeds: the target's own folder when there is one, and the public BMP suite for readers
    # of bitmaps. New inputs go to the first folder only; the others are read.
    seeds=()
    [ -d "tests/fuzz/seeds/${name#fuzz-}" ] && seeds+=("tests/fuzz/seeds/${name#fuzz-}")
    case "$name" in
      fuzz-bmp)
        for folder in g q b; do
          [ -d "../shared/bmpsuite/$folder" ] && seeds+=("../shared/bmpsuite/$folder")
        done ;;
    esac
    echo "-- $name"
    "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 \
      -print_final_stats=1 "$corpus" "${seeds[@]}" 2>&1 | tail -n 12
  done
fi
if [ "${PICTANOTE_WINDOWS:-1}" != 0 ]; then
  echo "== Windows"
  bash tools/windows/test.sh
fi
echo "== All tests passed"
