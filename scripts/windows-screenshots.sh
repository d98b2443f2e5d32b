#!/usr/bin/env bash
# Pictures of the three Windows programs under Wine, each connected to the simulator at start:
# the windows platform plugin on an Xvfb screen, the README's Windows pictures.
#   scripts/windows-screenshots.sh [OUTPUT_FOLDER]   (docs/ by default; after scripts/windows.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD out=$(realpath -m "${1:-docs}")
scripts/install-packages.sh xvfb x11-apps imagemagick xdotool wine wine64 fonts-wqy-microhei
for program in Velkor_en Velkor DriftboxGUI; do
  [ -x "build-win-qt/bin/$program.exe" ] || { echo "build-win-qt/bin/$program.exe is missing: run scripts/windows.sh first"; exit 1; }
done
[ -x build/bin/zotsim ] || { cmake -S . -B build >/dev/null; cmake --build build -j"${JOBS:-2}" --target zotsim >/dev/null; }

# A prefix of the pictures' own: the tests' prefix keeps no display settings.
export WINEPREFIX=$root/build-win-qt/screenshot-prefix WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
work=$(mktemp -d /tmp/quayside-shots-XXXXXX)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wineserver -k >/dev/null 2>&1 || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1100x720x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true

scripts/demo-store.sh "$work/store" >/dev/null
rm -f "$WINEPREFIX/dosdevices/com1"
build/bin/zotsim --root "$work/store" --link "$WINEPREFIX/dosdevices/com1" >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -e "$WINEPREFIX/dosdevices/com1" ] && break; sleep 0.05; done
# Wine's device services map the machine's serial ports to COM1 and up whenever they start;
# a port named in its Ports key comes first, so the link stays with the simulator.
tty=$(readlink "$WINEPREFIX/dosdevices/com1")
wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /d "$tty" /f </dev/null >/dev/null 2>&1
ln -sfn "$tty" "$WINEPREFIX/dosdevices/com1"
# The demo store's names are UTF-8 bytes; Wine's ANSI code page here is 1252.
export DRIFTBOX_USB=COM1 ZOTLINK_CODEPAGE=UTF-8
mkdir -p "$out"
for program in Velkor_en Velkor DriftboxGUI; do
  wine "build-win-qt/bin/$program.exe" </dev/null >"$work/$program.out" 2>&1 &
  gui=$!
  shown=
  for _ in $(seq 150); do
    shown=$(xdotool search --onlyvisible --class "${program,,}.exe" 2>/dev/null || true)
    [ -n "$shown" ] && break
    sleep 0.2
  done
  [ -n "$shown" ] || { echo "$program: no window"; cat "$work/$program.out"; exit 1; }
  # Connecting and the first listing take a moment; the main window is then the largest.
  sleep 5
  window= area=0
  for w in $(xdotool search --onlyvisible --class "${program,,}.exe" 2>/dev/null || true); do
    geometry=$(xdotool getwindowgeometry --shell "$w" 2>/dev/null) || continue
    eval "$geometry"
    if [ $((WIDTH * HEIGHT)) -gt "$area" ]; then window=$w area=$((WIDTH * HEIGHT)); fi
  done
  [ -n "$window" ] || { echo "$program: its window went away"; cat "$work/$program.out"; exit 1; }
  xdotool windowsize "$window" 900 560 windowmove "$window" 0 0 >/dev/null 2>&1 || true
  # Into the terminal's folder, as a user would from the tree: to the devices (the last
  # item), open them, down to the terminal.
  xdotool windowfocus --sync "$window" >/dev/null 2>&1 || true
  xdotool key --window "$window" --delay 300 End Right Down >/dev/null 2>&1 || true
  sleep 3
  # Without a window manager the screen holds the window alone, at the place it was moved to.
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xwd -silent -root | convert xwd:- -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage \
    "$out/windows-${program,,}.png"
  echo "$out/windows-${program,,}.png"
  wine taskkill /f /im "$program.exe" >/dev/null 2>&1 || true
  wait "$gui" 2>/dev/null || true
done
