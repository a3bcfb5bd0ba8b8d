#!/usr/bin/env bash
# The Mac layer is only type-checked here, so the check itself must be trusted: each case
# breaks a copy of a real file the way a slip on a Mac would, and the check must refuse the
# copy with the right complaint while the original passes.
set -uo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# case NAME FILE SED-EXPRESSION EXPECTED-MESSAGE
case_() {
  local name=$1 file=$2 edit=$3 expected=$4 copy
  copy="$work/$(basename "$file")"
  if ! scripts/check-macos.sh "$file" >/dev/null 2>&1; then
    echo "FAIL $name: the unbroken $file does not pass"
    failures=$((failures + 1))
    return
  fi
  sed "$edit" "$file" >"$copy"
  if cmp -s "$file" "$copy"; then
    echo "FAIL $name: the edit changed nothing in $file"
    failures=$((failures + 1))
  elif output=$(scripts/check-macos.sh "$copy" 2>&1); then
    echo "FAIL $name: the check passed a broken copy of $file"
    failures=$((failures + 1))
  elif ! grep -q -- "$expected" <<<"$output"; then
    echo "FAIL $name: expected \"$expected\", got:"
    echo "$output"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

case_ "misspelt selector" src/platform/macos/panels.mm \
  's/\[panel_ orderFrontRegardless\]/[panel_ orderFrontRegardles]/' \
  "declares the selector 'orderFrontRegardles'"
case_ "wrong argument type" src/platform/macos/keyboard_events.cpp \
  's/CGEventPost(tapLocation, key.get())/CGEventPost(tapLocation, source.get())/' \
  "no matching function for call to 'CGEventPost'\|cannot initialize a parameter"
case_ "undeclared function" src/platform/macos/system_log.mm \
  's/  NSLog(@/  NSLogf(@/' \
  "use of undeclared identifier 'NSLogf'"
case_ "Objective-C type in a portable header" src/platform/panels.h \
  's/^class Panels {/NSPanel* hostPanel();\nclass Panels {/' \
  "unknown type name 'NSPanel'"

exit $((failures > 0))
