#!/usr/bin/env bash
# Builds Pictanote (release) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DPICTANOTE_BUILD_TESTS=OFF -DPICTANOTE_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target pictanote
exec build/release/app/pictanote "$@"
