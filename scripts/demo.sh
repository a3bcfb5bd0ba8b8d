#!/usr/bin/env bash
# Builds Velmora and takes the scripted tour on the virtual Mac through the velmora command
# line. Extra arguments replace the tour: `scripts/demo.sh run WORLD.json SCRIPT`, or none
# after `--` for the interactive prompt (`scripts/demo.sh --`).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build velmora
if [ "$#" -eq 0 ]; then
  exec build/tools/velmora run worlds/two-displays.json tours/tour.velmora
fi
[ "$1" = "--" ] && shift
exec build/tools/velmora "$@"
