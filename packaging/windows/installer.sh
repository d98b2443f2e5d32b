#!/usr/bin/env bash
# Stages the Windows program folder and makes Quayside-<version>-x64-setup.exe from it with
# makensis (quayside.nsi beside this script).
#   installer.sh <build-win> <build-win-qt> <build-win32 or ""> <output folder>
# build-win gives the DLLs and zot.exe (runtime linked in), build-win-qt the explorers, Qt
# and the MinGW runtime they share, build-win32 the 32-bit DLLs and zot.exe for x86\.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# makensis reads paths from its script's folder: every path here is absolute.
abs() { [ -z "$1" ] || realpath -m "$1"; }
win=$(abs "$1") qtb=$(abs "$2") win32=$(abs "$3") out=$(abs "$4")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $win/CMakeCache.txt"; exit 1; }
stage=$out/stage
rm -rf "$stage"
mkdir -p "$stage"/{platforms,styles,imageformats,x86} "$stage"/sdk/{include,def,lib/mingw,lib/msvc}

cp "$qtb"/bin/{Velkor,Velkor_en,DriftboxGUI}.exe "$stage/"
cp "$win"/bin/{zot.exe,Zotlink.dll,IDriftUartPipe.dll,DriftboxClient.dll} "$stage/"
cp "$qtb"/bin/{Qt6Core,Qt6Gui,Qt6Widgets}.dll "$qtb"/bin/lib{stdc++-6,gcc_s_seh-1,winpthread-1}.dll "$stage/"
cp "$qtb"/bin/platforms/{qwindows,qoffscreen}.dll "$stage/platforms/"
cp "$qtb"/bin/styles/qwindowsvistastyle.dll "$stage/styles/"
cp "$qtb"/bin/imageformats/qico.dll "$stage/imageformats/"
cat >"$stage/LICENSES.txt" <<TXT
Quayside $version

Qt 6 (Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll and the plugins in platforms, styles and
imageformats) is used under the GNU Lesser General Public License version 3. It was built
unchanged from Debian's qt6-base source package, which holds its source and licence texts.
The DLLs may be replaced with other builds of the same Qt version.

libstdc++-6.dll and libgcc_s_seh-1.dll are part of GCC and are used under the GCC Runtime
Library Exception; libwinpthread-1.dll is part of mingw-w64 and is used under its MIT licence.
TXT

# Developer files: headers, the .def files, MinGW's import libraries and MSVC's made from the
# .def files (names undecorated, as the DLLs export them).
cp "$root"/zotlink/include/zotlink.h "$root"/uartpipe/include/IDriftUartPipe.h \
   "$root"/driftbox_client/include/DriftboxClient.h "$stage/sdk/include/"
cp "$root"/zotlink/zotlink.def "$root"/uartpipe/IDriftUartPipe.def \
   "$root"/driftbox_client/DriftboxClient.def "$stage/sdk/def/"
for lib in Zotlink IDriftUartPipe DriftboxClient; do
  cp "$win/lib/$lib.dll.a" "$stage/sdk/lib/mingw/"
  def=$(grep -l "^LIBRARY $lib\$" "$stage"/sdk/def/*.def)
  x86_64-w64-mingw32-dlltool -m i386:x86-64 -d "$def" -D "$lib.dll" -l "$stage/sdk/lib/msvc/$lib.lib"
done

nsis_defs=()
if [ -n "$win32" ]; then
  mkdir -p "$stage"/sdk/x86/{def,lib/mingw,lib/msvc}
  # One import library serves both linkers; see x86_import_libs.sh for why it is not the one
  # the linker wrote.
  "$here/x86_import_libs.sh" "$win32" "$out/x86-import"
  for lib in Zotlink IDriftUartPipe DriftboxClient; do
    cp "$win32/bin/$lib.dll" "$stage/x86/"
    cp "$out/x86-import/$lib.def" "$stage/sdk/x86/def/"
    cp "$out/x86-import/$lib.lib" "$stage/sdk/x86/lib/msvc/"
    cp "$out/x86-import/$lib.lib" "$stage/sdk/x86/lib/mingw/$lib.dll.a"
  done
  cp "$win32/bin/zot.exe" "$stage/x86/"
  nsis_defs+=(-DWITH_X86)
fi
cp "$root/packaging/icons/com.corvale.velkor.ico" "$out/setup.ico"

setup=$out/Quayside-$version-x64-setup.exe
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DICON="$out/setup.ico" -DOUTFILE="$setup" \
  "${nsis_defs[@]}" "$here/quayside.nsi"
echo "$setup"
