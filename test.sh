#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and UndefinedBehaviorSanitizer, runs every test.
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup.sh

build=build/test
jobs=${VELMORA_JOBS:-$(nproc 2>/dev/null || echo 2)}
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DVELMORA_SANITIZE=ON \
  -DVELMORA_WERROR=ON
cmake --build "$build" -j "$jobs"

# The fuzz targets with libFuzzer, when clang is present; building keeps them honest, running
# them is left to whoever fuzzes (see fuzz/build.sh).
if command -v clang++ >/dev/null 2>&1; then
  bash fuzz/build.sh
fi

# Every test is headless: SDL gets its dummy drivers.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
# Leaks inside system libraries (never ours) are listed in scripts/lsan.supp.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j "$jobs" --timeout 300
