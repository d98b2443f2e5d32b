#!/usr/bin/env bash
# The installed package in a temporary folder, run from there: zot --help, the explorers
# offscreen against the simulator (reached through the port map alone), and a program
# outside the tree built with find_package and with pkg-config against the installed libraries.
# usage: install_test.sh --build BUILD_DIR [EXPLORER...]  the build installed with
#            cmake --install --prefix into a temporary prefix; EXPLORER: those it built
#        install_test.sh --debs PACKAGE.deb...  the packages (for /usr) unpacked with dpkg -x
set -u
work=$(mktemp -d /tmp/qs-install-XXXXXX)
sim=
cleanup() {
    [ -n "$sim" ] && { kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; }
    rm -rf "$work"
}
trap cleanup EXIT
here=$(cd "$(dirname "$0")" && pwd)
case "${1:-}" in
  --build) root= prefix=$work/prefix build=$2; shift 2; explorers=("$@")
           # Another prefix than the one configured: nothing installed may lean on that one.
           cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
               { cat "$work/install.log"; exit 1; } ;;
  --debs) root=$work/root prefix=/usr explorers=(Velkor_en Velkor DriftboxGUI); shift
          for deb in "$@"; do dpkg -x "$deb" "$root" || exit 1; done ;;
  *) echo "usage: $0 --build BUILD_DIR [EXPLORER...] | --debs PACKAGE.deb..." >&2; exit 2 ;;
esac

passed=0 failed=0
check() {  # check NAME COMMAND... ; output in $out
    local name=$1; shift
    out=$("$@" 2>&1); local rc=$?
    if [ "$rc" -eq 0 ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $name: exit $rc"; echo "$out"; fi
}
expect_text() {  # expect_text NAME TEXT : last output contains TEXT
    if grep -qF -- "$2" <<<"$out"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: output lacks '$2'"; echo "$out"; fi
}

bin=$root$prefix/bin
lib=$(dirname "$(find "$root$prefix" -name 'libZotlink.so.1' | head -1)")
# Packages for /usr carry no library search path: the system's is where they go. Here the
# root stands in for it.
export LD_LIBRARY_PATH=$lib
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset COM1 DRIFTBOX_USB

check soname_link test -e "$lib/libZotlink.so.1"
# Debian's packages keep libraries in the architecture's own folder.
[ -n "$root" ] && check libraries_in_multiarch_folder test "$lib" = "$root/usr/lib/$(cc -print-multiarch)"
for program in "${explorers[@]}"; do
    case $program in
      Velkor_en) files="share/applications/com.corvale.velkor_en.desktop" ;;
      Velkor) files="share/metainfo/com.corvale.velkor.metainfo.xml
                     share/icons/hicolor/48x48/apps/com.corvale.velkor.png
                     share/quayside/translations/velkor_zh_CN.qm" ;;
      DriftboxGUI) files="share/icons/hicolor/scalable/apps/com.corvale.driftboxgui.svg" ;;
    esac
    for f in $files; do check "installed_$(basename "$f")" test -s "$root$prefix/$f"; done
done
check installed_zot_manual sh -c "ls \"$root$prefix/share/man/man1/\" | grep -q '^zot\.1'"
check zot_help "$bin/zot" --help
expect_text zot_help_text "usage: zot"
# The mount comes with the programs wherever this machine could build it.
if [ -n "$root" ] || [ -x "${build:-}/bin/zotfs" ]; then
    check zotfs_help "$bin/zotfs" --help
    check installed_zotfs_manual test -s "$root$prefix/share/man/man1/zotfs.1"
fi

mkdir -p "$work/store"
echo hello > "$work/store/hello.txt"
"$bin/zotsim" --root "$work/store" --link "$work/tty" --log 2>"$work/sim.log" >/dev/null &
sim=$!
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
check map_com1 "$bin/zot" ports set 1 "$work/tty"
check map_usb "$bin/zot" ports set USB "$work/tty"
check zot_ls_through_map "$bin/zot" ls
expect_text zot_ls_lists "hello.txt"

# Each explorer connects at start (the default settings); its requests show in the log.
for program in "${explorers[@]}"; do
    before=$(grep -c GetVersion "$work/sim.log")
    QT_QPA_PLATFORM=offscreen "$bin/$program" >"$work/$program.log" 2>&1 &
    gui=$!
    for _ in $(seq 100); do
        [ "$(grep -c GetVersion "$work/sim.log")" -gt "$before" ] && break
        sleep 0.1
    done
    check "${program}_runs" kill -0 "$gui"
    kill "$gui" 2>/dev/null; wait "$gui" 2>/dev/null
    out=$(grep -c GetVersion "$work/sim.log")
    if [ "$out" -gt "$before" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL ${program}_reaches_simulator"; cat "$work/$program.log"; fi
done

# Libraries built with a sanitizer need its runtime in the program that loads them.
sanitize=
case "$(sed -n 's/^QS_SANITIZE:[A-Z]*=//p' "${build:-/nonexistent}/CMakeCache.txt" 2>/dev/null)" in
  address) sanitize="-fsanitize=address,undefined" ;;
  thread) sanitize="-fsanitize=thread" ;;
esac
cmake -S "$here/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$root$prefix" \
    -DCMAKE_C_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" >"$work/consumer.log" 2>&1 && cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1
check consumer_find_package "$work/consumer/consumer"
expect_text consumer_runs "consumer ok"
pc=$(find "$root$prefix" -name zotlink.pc | head -1)
# The pkg-config files name the folder they were installed to, wherever that is.
export PKG_CONFIG_LIBDIR=$(dirname "$pc")
check pkg_config_prefix test "$(realpath -m "$(pkg-config --variable=prefix zotlink)")" = "$root$prefix"
check pkg_config_libdir test "$(realpath -m "$(pkg-config --variable=libdir zotlink)")" = "$lib"
check pkg_config sh -c "cc $sanitize -o '$work/pc_consumer' '$here/consumer/consumer.c' \$(pkg-config --cflags --libs zotlink idriftuartpipe driftboxclient)"
check pkg_config_consumer_runs "$work/pc_consumer"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
