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
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
