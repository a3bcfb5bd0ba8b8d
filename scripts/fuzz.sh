#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs the window-server fuzzer for a while.
# Usage: scripts/fuzz.sh [seconds]   (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
ninja -C build-fuzz fuzz-window-server
mkdir -p build-fuzz/corpus
build-fuzz/fuzz/fuzz-window-server -max_total_time="${1:-60}" -print_final_stats=1 build-fuzz/corpus
