#!/usr/bin/env bash
# Builds the benchmarks optimised (no sanitizers) into build/bench and runs them all, or the one named.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF >/dev/null
cmake --build build/bench -j "${VELMORA_JOBS:-$(nproc)}"
for b in build/bench/bench/bench_*; do
  [ -x "$b" ] || continue
  if [ $# -eq 0 ] || [ "$(basename "$b")" = "$1" ]; then "$b"; fi
done
