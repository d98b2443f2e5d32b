#!/usr/bin/env bash
# Cross-builds the Windows DLLs, zot.exe and their tests into build-win/ with mingw-w64 and runs
# the tests under Wine, against simulators running natively on pseudo-terminals that Wine
# reaches as COM ports (links in $WINEPREFIX/dosdevices).
#   JOBS=n  parallel build jobs (2)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
pkgs=(cmake g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
      libz-mingw-w64-dev wine wine64 libgtest-dev)
scripts/install-packages.sh "${pkgs[@]}"
jobs=${JOBS:-2}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

# The simulator is a host program: the host build provides it.
echo "== build (host simulator)"
cmake -S . -B build "${launcher[@]}" >/dev/null
cmake --build build -j"$jobs" --target zotsim >build/windows-zotsim.log 2>&1 || { tail -30 build/windows-zotsim.log; exit 1; }

echo "== build-win"
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
      -DQS_SKIP="bench;explorer_core;explorer;transfer_explorer;fuzz" "${launcher[@]}" >/dev/null
cmake --build build-win -j"$jobs" >build-win/build.log 2>&1 || { tail -50 build-win/build.log; exit 1; }

# C.UTF-8: host file names in UTF-8; Wine then runs with the ANSI code page 1252.
export LANG=C.UTF-8
export WINEPREFIX=$root/build-win/wineprefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
# Making a prefix is slow; it is made once and kept with the build.
[ -f "$WINEPREFIX/system.reg" ] || { echo "== wine prefix"; wineboot -i >/dev/null 2>&1; }
# One server and its service processes for the whole run, started here: services started by
# the first test would hold ctest's output pipe open and keep it waiting.
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1 || true

work=$(mktemp -d /tmp/quayside-win-XXXXXX)
sims=()
cleanup() {
  for p in "${sims[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -f "$WINEPREFIX"/dosdevices/com{5,6,7,8}
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
# sim PORT STORE [options]: a simulator on COM<PORT>.
sim() {
  local port=$1 store=$2; shift 2
  mkdir -p "$store"
  rm -f "$WINEPREFIX/dosdevices/com$port"
  build/bin/zotsim --root "$store" --link "$WINEPREFIX/dosdevices/com$port" "$@" \
    >"$work/sim$port.out" 2>&1 &
  sims+=($!)
  for _ in $(seq 100); do [ -e "$WINEPREFIX/dosdevices/com$port" ] && return; sleep 0.05; done
  echo "simulator on COM$port did not start"; cat "$work/sim$port.out"; exit 1
}
sim 5 "$work/store"
sim 6 "$work/store2"
echo second > "$work/store2/second.txt"
sim 7 "$work/store3" --drop 1 --drop 2
sim 8 "$work/store4"
mkdir -p "$work/pc"

winpath() { echo "Z:${1//\//\\}"; }
export ZOT_WINE_PORT=5 ZOT_WINE_PORT2=6 ZOT_WINE_THIRD_PORT=7 ZOT_WINE_PIPE_PORT=8
export ZOT_WINE_STORE=$(winpath "$work/store") ZOT_WINE_PC=$(winpath "$work/pc")
export WINEPATH=$(winpath "$root/build-win/bin")

echo "== tests under Wine"
(cd build-win && ctest --output-on-failure --timeout 300)

echo "== zot.exe under Wine"
zot() { wine build-win/bin/zot.exe --port 5 "$@"; }
failed=0
step() { local name=$1; shift; if "$@" >"$work/step.out" 2>&1; then echo "ok   $name"; else
  failed=1; echo "FAIL $name"; cat "$work/step.out"; fi; }
head -c 1048576 /dev/urandom >"$work/pc/grün.bin"
step info zot info
step put_non_ascii_name zot put "$(winpath "$work/pc/grün.bin")"
step put_identical cmp "$work/pc/grün.bin" "$work/store/gr"$'\xfc'"n.bin"
step ls_long zot ls -l
grep -q 1048576 "$work/step.out" || { failed=1; echo "FAIL ls_shows_size"; }
step get_verify zot --verify get 'grün.bin' "$(winpath "$work/pc/zurück.bin")"
step get_identical cmp "$work/pc/grün.bin" "$work/pc/zurück.bin"
# Every terminal at once is one process with a thread a terminal, here as on Linux.
step four_terminals_one_process wine build-win/bin/zot.exe --ports 5-8 ls
[ "$failed" = 0 ] || exit 1
echo "windows: all passed"
