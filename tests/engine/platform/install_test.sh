#!/usr/bin/env bash
# An installed copy runs from any folder: installs the build into a fresh prefix, starts the
# program from / on the headless drivers, ends it as a desktop would and checks what it left.
set -euo pipefail
build=$1

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmora_install_XXXXXX")
pid=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  rm -rf "$tmp"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$tmp/prefix" >/dev/null
share=$tmp/prefix/share/velmora
for f in "$tmp/prefix/bin/velmora" "$share/game.ini" "$share/Data/Sounds/sounds.ini" \
         "$share/Data/Pictures/hotel.jpg"; do
  [ -e "$f" ] || { echo "not installed: $f"; exit 1; }
done

export XDG_DATA_HOME=$tmp/user SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
user=$XDG_DATA_HOME/Velmora
(cd / && exec "$tmp/prefix/bin/velmora") &
pid=$!

# The instance socket appears once the start is past the window.
for _ in $(seq 300); do
  [ -S "$user/instance.sock" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$user/instance.sock" ]; then
  echo "the installed program did not start; its log:"
  cat "$share/gerr.log" 2>/dev/null || true
  exit 1
fi
sleep 0.5

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
if [ "$status" -ne 0 ]; then
  echo "the installed program ended with $status; its log:"
  cat "$share/gerr.log" 2>/dev/null || true
  exit 1
fi
grep -q '^xs=1024' "$user/profgame.ini" || { echo "no geometry saved"; exit 1; }
[ ! -e "$user/instance.sock" ] || { echo "the instance socket was left behind"; exit 1; }
if grep -q 'Message box' "$share/gerr.log" 2>/dev/null; then
  echo "the run showed message boxes:"
  cat "$share/gerr.log"
  exit 1
fi
echo "installed program ran from / and ended cleanly"
