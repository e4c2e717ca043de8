#!/usr/bin/env bash
# Times one pavlex command over many small models: `-j 1` against `-j N`.
# The model is the built-in sample saved as OBJ + MTL (three objects, three
# materials), copied COUNT times; every copy gets its UVs mirrored and is
# saved beside the others.
#   bench/many_models.sh [BUILD_DIR] [COUNT] [JOBS...]   (defaults: build 200 1 2)
set -euo pipefail
build=${1:-build}
count=${2:-200}
shift $(( $# > 2 ? 2 : $# )) || true
jobs=("$@")
[ "${#jobs[@]}" -gt 0 ] || jobs=(1 2)
pavlex="$(cd "$build" && pwd)/bin/pavlex"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
"$pavlex" --settings settings.xml -o model.obj
mkdir models out
for i in $(seq -w 1 "$count"); do
  sed "s/^mtllib .*/mtllib model$i.mtl/" model.obj >"models/model$i.obj"
  cp model.mtl "models/model$i.mtl"
done
echo "$count copies of a $(wc -c <model.obj)-byte OBJ; $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
for j in "${jobs[@]}"; do
  rm -f out/*
  start=$(date +%s.%N)
  "$pavlex" --settings settings.xml -j "$j" models/*.obj \
    -c 'object Mask; select uv all; press Invert/H; object Crate; select uv all; press Select/group' \
    -o 'out/{stem}.obj'
  end=$(date +%s.%N)
  saved=$(ls out/*.obj | wc -l)
  printf -- '-j %s: %.2f s (%s models saved)\n' "$j" "$(echo "$end - $start" | bc -l)" "$saved"
done
