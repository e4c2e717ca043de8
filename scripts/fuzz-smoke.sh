#!/usr/bin/env bash
# Builds every libFuzzer target with clang and runs each for a few seconds
# on its committed corpus (fuzz/corpus/<target>/) with its dictionary
# (fuzz/<target>.dict). A crash, a leak, a timeout or a failed check stops
# the script with the fuzzer's report; the input is kept in the artifacts
# folder it names. The committed corpus is only read.
#   scripts/fuzz-smoke.sh [SECONDS]    seconds per target, default 10
# Environment: PAVLEX_FUZZ_BUILD_DIR (default build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

seconds=${1:-10}
build=${PAVLEX_FUZZ_BUILD_DIR:-build-fuzz}

scripts/install-deps.sh --fuzz

# Every target needs its seeds and its dictionary before anything builds.
targets=()
for source in fuzz/*_fuzzer.cpp; do
  target=$(basename "$source" .cpp)
  if [ ! -d "fuzz/corpus/$target" ] || [ -z "$(ls -A "fuzz/corpus/$target")" ]; then
    echo "fuzz-smoke: $target has no seeds in fuzz/corpus/$target" >&2
    exit 1
  fi
  if [ ! -s "fuzz/$target.dict" ]; then
    echo "fuzz-smoke: $target has no dictionary fuzz/$target.dict" >&2
    exit 1
  fi
  targets+=("$target")
done

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DPAVLEX_BUILD_FUZZ=ON -DPAVLEX_BUILD_TESTS=OFF \
  -DPAVLEX_BUILD_BENCH=OFF -DPAVLEX_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target pavlex_fuzzers

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$root/$build/fuzz-artifacts"
mkdir -p "$artifacts"
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  start=$SECONDS
  # New inputs go to the first folder, a scratch one.
  if ! "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -dict="fuzz/$target.dict" -artifact_prefix="$artifacts/$target-" \
      "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    cat "$work/$target.log" >&2
    echo "fuzz-smoke: $target failed; the input is in $artifacts" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
  coverage=$(sed -n 's/^#[0-9]*[[:space:]]*DONE.*\(cov: [0-9]*\) \(ft: [0-9]*\).*/\1 \2/p' "$work/$target.log")
  echo "fuzz-smoke: $target: ${runs:-?} runs in $((SECONDS - start)) s, ${coverage:-no coverage line}"
done
