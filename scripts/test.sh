#!/usr/bin/env bash
# Builds Pavlex from nothing and runs the whole test suite.
#   scripts/test.sh              warnings as errors, RelWithDebInfo
#   scripts/test.sh --sanitize   the same under AddressSanitizer + UBSan
set -euo pipefail
cd "$(dirname "$0")/.."

build=build
flags=(-DPAVLEX_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  flags+=(-DPAVLEX_SANITIZE=ON -DPAVLEX_BUILD_BENCH=OFF)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

scripts/install-deps.sh
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build" -j"$(nproc)"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" -LE gui
# The window's tests drive a real X server in real time. One at a time, and
# a test that timed out on a busy machine gets two more tries; a real fault
# fails all three.
ctest --test-dir "$build" --output-on-failure -L gui --repeat until-pass:3
