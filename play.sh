#!/usr/bin/env bash
# Installs what is missing, makes an optimised build and starts the game from it (build/release,
# which holds game.ini and Data/ with the generated files).
set -euo pipefail
cd "$(dirname "$0")"

bash scripts/setup.sh

build=build/release
jobs=${VELMORA_JOBS:-$(nproc 2>/dev/null || echo 2)}
# Configured once; the build reconfigures itself when a CMake file changes.
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j "$jobs" --target velmora
exec "$build/velmora" "$@"
