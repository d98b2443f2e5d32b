#!/usr/bin/env bash
# The main job: builds, serves a demo file store through the terminal simulator on a
# pseudo-terminal, and opens the device explorer on it (with a display) or works on it with
# the command-line client (without one).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j"${JOBS:-2}"

work=$(mktemp -d /tmp/quayside-demo-XXXXXX)
store="$work/store"
scripts/demo-store.sh "$store"
build/bin/zotsim --root "$store" --baud 115200 --link "$work/tty" > "$work/zotsim.out" &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done
export COM1="$work/tty"
echo "terminal simulator serving $store on $(cut -d' ' -f2 "$work/zotsim.out") (COM1)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  # The device explorer connects to COM1 at start (setting AutoLink defaults to 1).
  echo "opening Velkor_en on the simulator; close its window to end the demo"
  build/bin/Velkor_en
  exit 0
fi

zot() { build/bin/zot --port 1 "$@"; }
set -x
zot info
zot ls -l
head -c 40000 /dev/urandom > "$work/upload.bin"
zot put "$work/upload.bin" upload.bin
zot get upload.bin "$work/download.bin" --verify
cmp "$work/upload.bin" "$work/download.bin"
zot mkdir archive
zot put "$store/../store/readme.txt" 'archive\readme.txt'
zot ls -l 'archive\'
{ set +x; } 2>/dev/null
echo "demo done: every copy arrived byte for byte"
