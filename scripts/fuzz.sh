#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them for a while.
# Usage: scripts/fuzz.sh [seconds] [target]   (defaults: 60, window-server)
# Targets: window-server, space-icon, metadata, app-link. Each keeps its corpus under build-fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
target="${2:-window-server}"
scripts/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_FUZZ=ON -DVELMORA_SANITIZE=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF >/dev/null
ninja -C build-fuzz "fuzz-${target//-/_}"
corpus=build-fuzz/corpus
[ "$target" = window-server ] || corpus="build-fuzz/corpus-$target"
mkdir -p "$corpus"
extra=()
dict="fuzz/${target//-/_}.dict"
[ -f "$dict" ] && extra+=(-dict="$dict")
"build-fuzz/fuzz/fuzz-${target//-/_}" -max_total_time="$seconds" -print_final_stats=1 "${extra[@]}" \
  "$corpus"
