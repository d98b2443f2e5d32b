#!/usr/bin/env bash
# Cross-builds the Windows DLLs, zot.exe and their tests into build-win/ with mingw-w64 and runs
# the tests under Wine, against simulators running natively on pseudo-terminals that Wine
# reaches as COM ports (links in $WINEPREFIX/dosdevices). Then the explorers with Qt for
# Windows (scripts/qt-windows.sh, built once and kept) into build-win-qt/, with Qt's DLLs
# beside them, and their Qt Test suites under Wine without a display.
#   JOBS=n  parallel build jobs (2)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
pkgs=(cmake g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
      libz-mingw-w64-dev wine wine64 libgtest-dev ninja-build fonts-wqy-microhei
      g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix nsis)
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
  rm -f "$WINEPREFIX"/dosdevices/com{1,2,3,4,5,6,7,8,9}
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
# The ports present come from the system's serial device map, as Windows lists them. Wine
# fills the map only with the ports it found when it started, so the test adds one of its own.
wine reg add 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\QuaysideTest' /d COM7 /f \
  </dev/null >/dev/null 2>&1
step ports_lists_present zot ports
grep -qF '\\.\COM7  -> COM7' "$work/step.out" || { failed=1; echo "FAIL ports_lists_com7"; cat "$work/step.out"; }
wine reg delete 'HKLM\HARDWARE\DEVICEMAP\SERIALCOMM' /v '\Device\QuaysideTest' /f </dev/null >/dev/null 2>&1 || true
[ "$failed" = 0 ] || exit 1

# The explorers' suites look at which ports answer: only their own simulator may.
for p in "${sims[@]}"; do kill "$p" 2>/dev/null || true; done
wait 2>/dev/null || true
sims=()
rm -f "$WINEPREFIX"/dosdevices/com{5,6,7,8}

echo "== Qt for Windows"
qt=$(scripts/qt-windows.sh | tail -1)
echo "== build-win-qt"
# The host's zlib would be found first by name; the libraries take the static archive.
cmake -S . -B build-win-qt -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DQS_SKIP="bench;fuzz" \
      -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include \
      "${launcher[@]}" >/dev/null
suites=(tst_windows_core tst_velkor_app tst_velkor_jobs tst_velkor_view tst_tallow_app tst_tallow_view
        tst_tallow_transfer)
cmake --build build-win-qt -j"$jobs" --target Velkor Velkor_en DriftboxGUI windows_runtime "${suites[@]}" \
  >build-win-qt/build.log 2>&1 || { tail -50 build-win-qt/build.log; exit 1; }

echo "== explorer suites under Wine"
# One simulator behind every port a suite exposes (COM1 to COM4 all lead to it), speaking GBK
# as the suites do, and a silent one.
ZOTLINK_CODEPAGE=GBK sim 1 "$work/explorer-store"
sim 9 "$work/quiet-store" --silent-after 1
explorer_tty=$(readlink "$WINEPREFIX/dosdevices/com1") quiet_tty=$(readlink "$WINEPREFIX/dosdevices/com9")
# Wine's device services map the machine's serial ports to COM1 and up again whenever they
# start; ports named in its Ports key come first, so the links stay with the simulators.
for p in 1 2 3 4 9; do
  tty=$explorer_tty; [ "$p" = 9 ] && tty=$quiet_tty
  wine reg add 'HKLM\Software\Wine\Ports' /v "COM$p" /d "$tty" /f </dev/null >/dev/null 2>&1
  ln -sfn "$tty" "$WINEPREFIX/dosdevices/com$p"
done
export ZOT_WINE_SIM_PORT=1 ZOT_WINE_SIM_STORE=$(winpath "$work/explorer-store") ZOT_WINE_QUIET_PORT=9
export WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\wqy'
# One at a time: the suites share the simulator and the registry. Qt Test writes its report
# to a file here (its console output does not come through Wine).
for suite in "${suites[@]}"; do
  log=$work/$suite.txt
  if wine "build-win-qt/bin/$suite.exe" -o "$(winpath "$log"),txt" </dev/null >/dev/null 2>&1; then
    echo "ok   $suite: $(grep '^Totals' "$log")"
    grep '^SKIP' "$log" | sed 's/^/     /' || true
  else
    failed=1; echo "FAIL $suite"; grep -E '^(FAIL|QFATAL)|Actual|Expected|Loc:|failure location' "$log" || cat "$log"
  fi
done
[ "$failed" = 0 ] || exit 1

# Wine's 32-bit half runs the 32-bit programs. It needs apt's i386 architecture; where the
# archive cannot serve it, the architecture is taken out again, so no later apt-get update
# fails on it, and the 32-bit files are built and checked but not run.
wine32_ready() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" && return 0
  local sudo_cmd="" added=0
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386 && added=1
  fi
  if $sudo_cmd apt-get update -qq >/dev/null 2>&1 &&
     DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq wine32:i386 >/dev/null 2>&1; then
    return 0
  fi
  if [ "$added" = 1 ]; then
    $sudo_cmd dpkg --remove-architecture i386 && $sudo_cmd apt-get update -qq >/dev/null 2>&1 || true
  fi
  return 1
}

echo "== build-win32 (32-bit libraries and zot.exe)"
# Built and their exports checked; they run only where Wine has its 32-bit half (wine32).
cmake -S . -B build-win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release \
      -DQS_BUILD_TESTS=OFF -DQS_SKIP="bench;explorer_core;explorer;transfer_explorer;fuzz;packaging" \
      "${launcher[@]}" >/dev/null
cmake --build build-win32 -j"$jobs" --target Zotlink IDriftUartPipe DriftboxClient zot >build-win32/build.log 2>&1 ||
  { tail -50 build-win32/build.log; exit 1; }
for lib in zotlink/zotlink uartpipe/IDriftUartPipe driftbox_client/DriftboxClient; do
  name=$(sed -n 's/^LIBRARY //p' "$lib.def")
  step "exports_x86_$name" cmake -DLIB="build-win32/bin/$name.dll" -DLIST="$lib.exports" \
    -DOBJDUMP=i686-w64-mingw32-objdump -P cmake/CheckExports.cmake
done
# A 32-bit program of a library user links against the import libraries with nothing guessed
# (no stdcall fix-up) and imports the plain names.
x86=build-win32/import
step x86_import_libraries packaging/windows/x86_import_libs.sh build-win32 "$x86"
step x86_program_links i686-w64-mingw32-gcc -Wall -Werror -o "$x86/uses_x86_dlls.exe" \
  packaging/windows/tests/uses_x86_dlls.c -Izotlink/include -Iuartpipe/include \
  -Idriftbox_client/include "$x86"/{Zotlink,IDriftUartPipe,DriftboxClient}.lib \
  -Wl,--disable-stdcall-fixup
step x86_program_imports_plain_names sh -c "i686-w64-mingw32-objdump -p '$x86/uses_x86_dlls.exe' |
  grep -q ' ZOT_SetBaudrate\$' && ! i686-w64-mingw32-objdump -p '$x86/uses_x86_dlls.exe' | grep -q '@[0-9]'"
if wine32_ready; then
  cp build-win32/bin/*.dll "$x86/"
  step x86_program_runs wine "$x86/uses_x86_dlls.exe"
  step x86_zot_info wine build-win32/bin/zot.exe --port 1 info
else
  echo "skip x86_program_runs: Wine's 32-bit half (wine32:i386) cannot be installed from this archive"
fi
[ "$failed" = 0 ] || exit 1

echo "== installer"
setup=$(packaging/windows/installer.sh build-win build-win-qt build-win32 build-win-qt/installer | tail -1)
echo "$setup"
installed='C:\Program Files\Quayside'
unix_installed="$WINEPREFIX/drive_c/Program Files/Quayside"
step install wine "$setup" /S
step installed_files test -f "$unix_installed/zot.exe" -a -f "$unix_installed/Velkor_en.exe" \
  -a -f "$unix_installed/platforms/qwindows.dll" -a -f "$unix_installed/x86/Zotlink.dll" \
  -a -f "$unix_installed/x86/zot.exe" \
  -a -f "$unix_installed/Uninstall.exe" -a -f "$unix_installed/sdk/include/zotlink.h" \
  -a -f "$unix_installed/sdk/lib/msvc/Zotlink.lib" -a -f "$unix_installed/sdk/lib/mingw/Zotlink.dll.a" \
  -a -f "$unix_installed/sdk/x86/lib/msvc/Zotlink.lib" \
  -a -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quayside/Velkor.lnk"
step installed_zot_info wine "$installed\zot.exe" --port 1 info
# The English explorer starts from the program folder, connects to COM1 and keeps running.
wine "$installed\Velkor_en.exe" </dev/null >"$work/velkor.out" 2>&1 &
velkor=$!
sleep 5
step installed_velkor_runs kill -0 "$velkor"
wine taskkill /f /im Velkor_en.exe >/dev/null 2>&1 || true
wait "$velkor" 2>/dev/null || true
step registered wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quayside' /v UninstallString
# The uninstaller copies itself away and returns at once; the folder goes when it is done.
step uninstall wine "$installed\Uninstall.exe" /S
for _ in $(seq 100); do [ -e "$unix_installed" ] || break; sleep 0.2; done
step nothing_left test ! -e "$unix_installed"
step no_start_menu test ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quayside"
if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quayside' >/dev/null 2>&1; then
  failed=1; echo "FAIL unregistered"
else
  echo "ok   unregistered"
fi
wine reg delete 'HKLM\Software\Wine\Ports' /f </dev/null >/dev/null 2>&1 || true
[ "$failed" = 0 ] || exit 1
echo "windows: all passed"
