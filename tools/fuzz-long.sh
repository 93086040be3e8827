#!/usr/bin/env bash
# Long fuzzing, before a release: builds the fuzz targets in their own folder (build/fuzz-long)
# and runs every target for a chosen time, starting from the seed corpora kept in
# tests/fuzz/seeds/<target>. Not part of tools/test.sh.
#
#   tools/fuzz-long.sh [SECONDS_PER_TARGET]      (default 3600: an hour each)
#
# Prints one line per target with its executions and findings. New inputs go to
# build/fuzz-long/corpus/<target>; findings (crash-, leak-, timeout-, oom- files) to
# build/fuzz-long/findings/<target>/. A target stops at its first finding. Exit status 1 when
# anything was found, 2 on a bad argument.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-3600}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz-long.sh [SECONDS_PER_TARGET]" >&2
  exit 2
fi
build=build/fuzz-long
jobs=${JOBS:-2}

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPICTANOTE_FUZZ=ON -DPICTANOTE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target pictanote-fuzzers >/dev/null

found_any=0
summary=()
for fuzzer in "$build"/tests/fuzz/fuzz-*; do
  [ -f "$fuzzer" ] && [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=$build/corpus/$name
  findings=$build/findings/$name
  log=$build/logs/$name.log
  mkdir -p "$corpus" "$findings" "$build/logs"
  seeds=()
  [ -d "tests/fuzz/seeds/${name#fuzz-}" ] && seeds+=("tests/fuzz/seeds/${name#fuzz-}")
  before=$(find "$findings" -type f | wc -l)
  echo "-- $name: ${seconds}s (log in $log)"
  status=0
  "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || status=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  found=$(( $(find "$findings" -type f | wc -l) - before ))
  if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then
    found=1  # ended abnormally without writing an input: the log says why
  fi
  [ "$found" -gt 0 ] && found_any=1
  summary+=("$(printf '%-22s executions %12s   findings %d' "$name" "${execs:-?}" "$found")")
done

echo "== Fuzzing, ${seconds}s per target"
printf '%s\n' "${summary[@]}"
exit "$found_any"
