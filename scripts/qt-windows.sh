#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, Test as DLLs) for 64-bit Windows once, with mingw-w64, from
# Debian's own qt6-base source package, and keeps it outside the checkout. Debian ships no Qt for
# Windows, and the host Qt of the same version provides moc, rcc and uic. The prefix is the last
# line printed:
#   qt=$(scripts/qt-windows.sh | tail -1)
#   QS_QT_CACHE=dir  where the source, the build and the prefix go ($HOME/.cache/quayside)
#   JOBS=n           parallel build jobs (2); about 35 minutes with 2
# Programs built with it: -DCMAKE_TOOLCHAIN_FILE=<prefix>/lib/cmake/Qt6/qt.toolchain.cmake
# -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake. Under Wine, host
# QT_* variables do not reach the program: Wine keeps them for itself and passes WINEQT_* on
# without the WINE, so WINEQT_QPA_PLATFORM=offscreen runs it without a display. offscreen finds
# no fonts on Windows (all text is boxes) unless WINEQT_QPA_FONTDIR names a folder of them, e.g.
# 'Z:\usr\share\fonts\truetype\wqy' for Chinese. The windows platform needs an X display:
# without one, Wine leaves closed windows visible and quit() never returns.
set -euo pipefail
cd "$(dirname "$0")/.."
ver=6.4.2
cache=${QS_QT_CACHE:-$HOME/.cache/quayside}
prefix=$cache/qt-$ver-mingw64
stamp=$prefix/quayside-qt.stamp
if [ -f "$stamp" ]; then echo "$prefix"; exit 0; fi
jobs=${JOBS:-2}
# Both heavy steps yield to whatever else the machine is doing.
slow=(nice -n 19 ionice -c3)
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

# Host Qt of the same version: the cross build runs its tools instead of building them.
# libwine-dev has LGPL tablet headers to stand in for the ones the +dfsg source leaves out.
scripts/install-packages.sh cmake ninja-build dpkg-dev g++-mingw-w64-x86-64-posix \
  gcc-mingw-w64-x86-64-posix libwine-dev qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools

# apt-get source needs deb-src entries; add them for Debian's own archive where there are none.
if ! grep -qsE '^[[:space:]]*(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
     /etc/apt/sources.list.d/*.sources; then
  echo "== adding deb-src entries"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -q '^URIs:.*debian\.org' "$f" &&
      "${sudo_cmd[@]}" sed -i 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' "$f"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^[[:space:]]*deb\([[:space:]].*debian\.org.*\)/deb-src\1/p' /etc/apt/sources.list |
      "${sudo_cmd[@]}" tee /etc/apt/sources.list.d/quayside-deb-src.list >/dev/null
  fi
  "${sudo_cmd[@]}" apt-get update -qq
fi

src=$cache/src/qt6-base-$ver+dfsg
log=$cache/qt-windows.log
mkdir -p "$cache/src"
if [ ! -f "$src/quayside-ready" ]; then
  echo "== fetching qt6-base source"
  rm -rf "$src"
  # dpkg-source applies Debian's patches on extraction.
  (cd "$cache/src" && apt-get source qt6-base >"$log" 2>&1) || { tail -20 "$log"; exit 1; }
  [ -d "$src" ] || { echo "no $src after apt-get source"; exit 1; }
  # The windows platform plugin includes <wintab.h> and <pktdef.h> from here. Wine's copies are
  # written against Wine's own windows.h: the shim gives them windows.h first, Wine's A/W naming
  # macros and the API calling-convention name that the plugin uses in its typedefs.
  wt=$src/src/3rdparty/wintab
  wine_h=$(dpkg -L libwine-dev | grep '/windows/wintab\.h$')
  mkdir -p "$wt"
  cp "$(dirname "$wine_h")/pktdef.h" "$wt/pktdef.h"
  cp "$wine_h" "$wt/wine_wintab.h"
  cat >"$wt/wintab.h" <<'EOF'
#ifndef QS_WINTAB_SHIM_H
#define QS_WINTAB_SHIM_H
#include <windows.h>
#ifndef WINELIB_NAME_AW
#  define WINELIB_NAME_AW(name) __MINGW_NAME_AW(name)
#endif
#ifndef DECL_WINELIB_TYPE_AW
#  define DECL_WINELIB_TYPE_AW(type) typedef WINELIB_NAME_AW(type) type;
#endif
#ifndef API
#  define API WINAPI
#endif
#include "wine_wintab.h"
#endif
EOF
  touch "$src/quayside-ready"
fi

# Qt's generated qt.toolchain.cmake loads this one again for every program built with this Qt,
# so it lives with the prefix. The runtime (libstdc++, libgcc, winpthread) stays in DLLs here:
# one copy shared by all Qt DLLs and the program, as in the usual MinGW builds of Qt.
mkdir -p "$prefix"
tc=$prefix/mingw-w64-x86_64.cmake
cat >"$tc" <<EOF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

build=$cache/build-qt-$ver-mingw64
opts=(
  -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  # Only Core, Gui, Widgets and Test.
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_androiddeployqt=OFF
  # No OpenGL at all: the widgets paint through the raster engine. Under dynamicgl the windows
  # plugin refers to its OpenGL loader, which is not built without OpenGL.
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_zstd=OFF -DFEATURE_icu=OFF
  # Bundled third-party code: nothing but Windows' and MinGW's DLLs beside Qt's.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF
  # 6.4 builds its DirectWrite font database only with direct2d; without it programs fail to
  # link (QWindowsDirectWriteFontDatabase). direct2d1_1 alone adds the unused direct2d plugin.
  -DFEATURE_direct2d=ON -DFEATURE_direct2d1_1=OFF
)
echo "== configure ($build)"
"${slow[@]}" cmake -S "$src" -B "$build" "${opts[@]}" >"$log" 2>&1 || { tail -40 "$log"; exit 1; }
echo "== build, log in $log"
"${slow[@]}" cmake --build "$build" -j"$jobs" >>"$log" 2>&1 || { tail -40 "$log"; exit 1; }
"${slow[@]}" cmake --install "$build" >>"$log" 2>&1 || { tail -40 "$log"; exit 1; }
for f in bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll plugins/platforms/qwindows.dll \
         plugins/platforms/qoffscreen.dll plugins/styles/qwindowsvistastyle.dll; do
  [ -f "$prefix/$f" ] || { echo "missing $prefix/$f"; exit 1; }
done
echo "qt6-base $(dpkg-parsechangelog -l "$src/debian/changelog" -S Version) for x86_64-w64-mingw32" >"$stamp"
echo "$prefix"
