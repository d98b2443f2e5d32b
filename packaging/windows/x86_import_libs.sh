#!/usr/bin/env bash
# Import libraries for the 32-bit DLLs that both MinGW's and MSVC's linkers read.
#   x86_import_libs.sh <build-win32> <output folder>
# On 32-bit Windows a __stdcall function's symbol carries its argument bytes (_ZOT_Open@12),
# while the DLLs export the plain name. An import library must map the one to the other: the
# definitions below take each decorated name from the library's own objects, and dlltool's
# --kill-at imports it by its plain name. A library made from the plain .def would leave
# callers of the headers unresolved under MSVC (MinGW only links it by guessing).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(realpath "$1") out=$(realpath -m "$2")
mkdir -p "$out"
for lib in zotlink/zotlink uartpipe/IDriftUartPipe driftbox_client/DriftboxClient; do
  name=$(sed -n 's/^LIBRARY //p' "$root/$lib.def")
  objects=$(find "$build/$(dirname "$lib")/CMakeFiles/$name.dir" -name '*.obj')
  # shellcheck disable=SC2086
  symbols=$(i686-w64-mingw32-nm -g --defined-only $objects | awk '$2 == "T" { print $3 }')
  def=$out/$name.def
  { echo "LIBRARY $name.dll"; echo "EXPORTS"; } >"$def"
  while read -r export; do
    [ -n "$export" ] || continue
    decorated=$(grep -E "^_${export}(@[0-9]+)?\$" <<<"$symbols" | head -1 || true)
    [ -n "$decorated" ] || { echo "$name: no symbol for $export in $build" >&2; exit 1; }
    echo "    ${decorated#_}" >>"$def"
  done < <(grep -E '^[A-Za-z_]' "$root/$lib.exports")
  i686-w64-mingw32-dlltool -m i386 --kill-at -d "$def" -D "$name.dll" -l "$out/$name.lib"
done
