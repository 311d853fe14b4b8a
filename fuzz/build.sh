#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer into build/fuzz.
# Run one from the source folder, new inputs going to a folder of its own, for example:
#   mkdir -p /tmp/c && build/fuzz/fuzz/fuzz_ini -max_total_time=60 /tmp/c fuzz/corpus/ini
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang++ >/dev/null || { echo "fuzz: clang++ is not installed" >&2; exit 1; }
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DVELMORA_SANITIZE=ON -DVELMORA_LIBFUZZER=ON -DVELMORA_TESTS=OFF -DVELMORA_BENCH=OFF \
  -DVELMORA_WERROR=ON
cmake --build build/fuzz -j "${VELMORA_JOBS:-$(nproc)}" --target velmora_fuzzers
