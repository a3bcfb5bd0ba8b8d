#!/usr/bin/env bash
# Fails when a file of src/ includes a header of a layer above its own. The layers, each
# with the layers directly below it (the rest follow from those), are the ones
# src/CMakeLists.txt links and docs/internals.md names.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A below=(
  [core]=""
  [platform]="core"
  [linux]="platform"
  [sim]="linux"
  [macos]="platform"
  [store]="platform"
  [spaces]="store"
  [switching]="spaces"
  [mission_control]="spaces"
  [updates]="store"
  [drawing]="spaces"
  [settings_ui]="switching drawing"
  [surfaces]="switching mission_control drawing"
  [app]="surfaces updates settings_ui"
  [cli]="app sim"
  [mac]="app macos"
)

# The layer a path under src/ belongs to.
layer_of() {
  case "$1" in
    platform/linux/*) echo linux ;;
    platform/sim/*) echo sim ;;
    platform/macos/*) echo macos ;;
    platform/*) echo platform ;;
    *) echo "${1%%/*}" ;;
  esac
}

# Every layer reachable from $1, itself included.
reachable() {
  local seen=" $1 " queue=("$1") next
  while ((${#queue[@]})); do
    next=${queue[0]}
    queue=("${queue[@]:1}")
    for dep in ${below[$next]}; do
      [[ $seen == *" $dep "* ]] && continue
      seen+="$dep "
      queue+=("$dep")
    done
  done
  echo "$seen"
}

status=0
declare -A allowed
for layer in "${!below[@]}"; do allowed[$layer]=$(reachable "$layer"); done
while IFS= read -r file; do
  rel=${file#src/}
  layer=$(layer_of "$rel")
  if [[ -z ${allowed[$layer]+set} ]]; then
    echo "check-layers: $file is in no known layer (add \"$layer\" to scripts/check-layers.sh)"
    status=1
    continue
  fi
  while IFS= read -r included; do
    target=$(layer_of "$included")
    [[ -f src/$included ]] || continue  # a system or generated header
    if [[ ${allowed[$layer]} != *" $target "* ]]; then
      echo "check-layers: $file ($layer) includes $included ($target), a layer above it"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find src -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.mm' \) | sort)
exit $status
