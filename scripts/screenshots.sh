#!/usr/bin/env bash
# Builds Velmora and writes the pictures in docs/screenshots from scripted runs on the
# virtual Mac.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
ninja -C build velmora
mkdir -p docs/screenshots
build/tools/velmora run worlds/two-displays.json tours/screenshots.velmora
build/tools/velmora run worlds/crowded-menu-bar.json tours/crowded.velmora
build/tools/velmora run worlds/two-displays.json tours/switcher.velmora
build/tools/velmora run worlds/two-displays.json tours/mission-control.velmora
build/tools/velmora run worlds/two-displays-os27.json tours/mission-control-os27.velmora
build/tools/velmora run worlds/two-displays.json tours/hover-strip.velmora
build/tools/velmora run worlds/two-displays.json tours/notch.velmora
build/tools/velmora run worlds/two-displays.json tours/popover.velmora
build/tools/velmora run worlds/two-displays.json tours/settings.velmora
