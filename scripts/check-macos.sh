#!/usr/bin/env bash
# Type-checks the Mac layer on a machine without Apple's SDK: clang parses every file of
# src/platform/macos and the Mac app's entry (src/mac) against the declarations in
# src/platform/macos/shim, each written from Apple's documentation, with warnings as errors:
# C++ files as C++20, Objective-C++ files with ARC as on macOS 14, and the layer's headers as
# plain C++, so no Objective-C type reaches a header C++ code includes.
# Without arguments it also checks that docs/macos.md has a row for every seam method; with
# file arguments it checks only those files.
set -euo pipefail
cd "$(dirname "$0")/.."

check_one() {
  local file=$1 shim=src/platform/macos/shim
  local common=(-fsyntax-only -std=c++20 -isystem "$shim" -Isrc -Wall -Wextra -Wpedantic -Werror
                -Wno-missing-field-initializers -Wno-nullability-extension)
  case "$file" in
    *.mm) set -- -x objective-c++ -fobjc-arc -fobjc-runtime=macosx-14.0 -fblocks ;;
    *.h) set -- -x c++ -Wno-pragma-once-outside-header ;;
    *) set -- -x c++ ;;
  esac
  "${CLANGXX:-clang++}" "${common[@]}" "$@" "$file" ||
    { echo "check-macos: $file does not type-check" >&2; return 1; }
}

if [[ ${1-} == --one ]]; then
  check_one "$2"
  exit
fi

start=$(date +%s%N)
if (($#)); then
  files=("$@")
else
  mapfile -t files < <(find src/platform/macos src/mac -path src/platform/macos/shim -prune -o \
    \( -name '*.cpp' -o -name '*.mm' \) -print 2>/dev/null | sort)
  # The headers as plain C++ in one translation unit: as strict about Objective-C as one
  # each, at a fraction of the time.
  headers=$(mktemp --suffix=.cpp)
  trap 'rm -f "$headers"' EXIT
  find src/platform/macos src/mac -path src/platform/macos/shim -prune -o -name '*.h' -print |
    sort | sed 's|^src/\(.*\)|#include "\1"|' >"$headers"
  files+=("$headers")
  summary="${#files[@]} translation units (every header of the layer in the last)"
fi
status=0
if ((${#files[@]})) && [[ $# -eq 0 ]]; then
  # Every seam method has its row in docs/macos.md, so a new seam cannot arrive without one.
  while IFS= read -r method; do
    grep -qF "$method\`" docs/macos.md ||
      { echo "check-macos: $method has no row in docs/macos.md" >&2; status=1; }
  done < <(awk '/^class [A-Za-z]+/ { cls = $2 }
                /^[ \t]*virtual/ && !/~/ { sub(/\(.*/, ""); n = split($0, w, /[ *&]+/); print cls "::" w[n] }' \
             src/platform/*.h src/core/main_loop.h | sort -u)
fi
printf '%s\0' "${files[@]}" | xargs -0 -P"$(nproc)" -n1 "$0" --one || status=1
ms=$((($(date +%s%N) - start) / 1000000))
echo "check-macos: ${summary:-${#files[@]} files} in $((ms / 1000)).$((ms % 1000 / 100)) s"
exit $status
