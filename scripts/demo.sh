#!/usr/bin/env bash
# Builds Velmora and runs the demo on the virtual Mac.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build velmora-demo
build/tools/velmora-demo "$@"
