#!/usr/bin/env bash
# The installed package in a temporary root, run from there: zot --help, the explorers
# offscreen against the simulator (reached through the port map alone), and a program
# outside the tree built with find_package and pkg-config against the installed libraries.
# usage: install_test.sh --build BUILD_DIR PREFIX  a DESTDIR install of a build to its prefix
#        install_test.sh --debs PACKAGE.deb...      the packages (for /usr) unpacked with dpkg -x
set -u
work=$(mktemp -d /tmp/qs-install-XXXXXX)
root=$work/root
sim=
cleanup() {
    [ -n "$sim" ] && { kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null; }
    rm -rf "$work"
}
trap cleanup EXIT
here=$(cd "$(dirname "$0")" && pwd)
case "${1:-}" in
  --build) prefix=$3
           DESTDIR=$root cmake --install "$2" >"$work/install.log" 2>&1 ||
               { cat "$work/install.log"; exit 1; } ;;
  --debs) prefix=/usr; shift; for deb in "$@"; do dpkg -x "$deb" "$root" || exit 1; done ;;
  *) echo "usage: $0 --build BUILD_DIR PREFIX | --debs PACKAGE.deb..." >&2; exit 2 ;;
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
lib=$(dirname "$(find "$root" -name 'libZotlink.so.1' | head -1)")
# Packages for /usr carry no library search path: the system's is where they go. Here the
# root stands in for it.
export LD_LIBRARY_PATH=$lib
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset COM1 DRIFTBOX_USB

check soname_link test -e "$lib/libZotlink.so.1"
for f in share/applications/com.corvale.velkor_en.desktop share/metainfo/com.corvale.velkor.metainfo.xml \
         share/icons/hicolor/scalable/apps/com.corvale.driftboxgui.svg \
         share/icons/hicolor/48x48/apps/com.corvale.velkor.png \
         share/quayside/translations/velkor_zh_CN.qm; do
    check "installed_$(basename "$f")" test -s "$root$prefix/$f"
done
check installed_zot_manual sh -c "ls \"$root$prefix/share/man/man1/\" | grep -q '^zot\.1'"
check zot_help "$bin/zot" --help
expect_text zot_help_text "usage: zot"

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
for program in Velkor_en Velkor DriftboxGUI; do
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

cmake -S "$here/consumer" -B "$work/consumer" -DCMAKE_PREFIX_PATH="$root$prefix" \
    >"$work/consumer.log" 2>&1 && cmake --build "$work/consumer" >>"$work/consumer.log" 2>&1
check consumer_find_package "$work/consumer/consumer"
expect_text consumer_runs "consumer ok"
pc=$(find "$root" -name zotlink.pc | head -1)
# /usr/include and /usr/lib are left out of the flags unless asked for: here they are the root's.
check pkg_config env PKG_CONFIG_SYSROOT_DIR="$root" PKG_CONFIG_LIBDIR="$(dirname "$pc")" \
    PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 \
    sh -c "cc -o '$work/pc_consumer' '$here/consumer/consumer.c' \$(pkg-config --cflags --libs zotlink idriftuartpipe driftboxclient)"
check pkg_config_consumer_runs "$work/pc_consumer"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
