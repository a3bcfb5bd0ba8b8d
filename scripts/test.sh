#!/usr/bin/env bash
# Checks that no layer includes one above it, that every file is formatted and that the Mac
# layer type-checks against its declarations of Apple's API; builds Velmora with warnings as
# errors and runs the test suite, then builds the tests again with clang under
# AddressSanitizer + UndefinedBehaviorSanitizer and runs them once more, so both compilers'
# warnings stop a change.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
jobs=$(nproc)
# A machine that keeps a compiler cache rebuilds only what changed, even in a fresh clone.
cache=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  cache=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

echo "== layers and formatting"
scripts/check-layers.sh
git ls-files -z -- '*.h' '*.cpp' '*.mm' | xargs -0 clang-format --dry-run -Werror

echo "== macOS layer type-check"
scripts/check-macos.sh

echo "== release build and tests"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${cache[@]}" >/dev/null
ninja -C build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizer build and tests"
cmake -S . -B build-asan -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF "${cache[@]}" >/dev/null
ninja -C build-asan -j"$jobs" velmora_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp":print_suppressions=0 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"
