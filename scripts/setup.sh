#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, only those missing.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev zlib1g-dev libjpeg62-turbo-dev libpng-dev
  libvorbis-dev libogg-dev
  libfreetype-dev fonts-dejavu-core
  libpixman-1-dev
  librsvg2-dev libcairo2-dev python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and not root; install them and run again" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update
"${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
