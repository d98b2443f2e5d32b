#!/usr/bin/env bash
# Figure 8: cp of a 1 MiB file into and out of a zotfs mount against zot put and zot get of
# the same file, on a simulated 115200-baud line. Target: the mount takes at most 1.10 times
# as long each way. Also, with no target, the time of head -c 10 of a file in the mount: one
# 1 KiB block is about 0.1 s of line at that speed.
# Usage: bench/zotfs_bench.sh BIN_DIR
set -u
bin=${1:?usage: bench/zotfs_bench.sh BIN_DIR}
if [[ ! -x $bin/zotfs ]]; then
    echo "figure 8 mount: not built (needs libfuse3; scripts/deps.sh installs it)"; exit 0
fi
if [[ ! -c /dev/fuse || ! -w /dev/fuse ]] || ! command -v fusermount3 >/dev/null; then
    echo "figure 8 mount: not run (FUSE is not available here)"; exit 0
fi
work=$(mktemp -d /tmp/qs-bench-zotfs-XXXXXX)
mkdir -p "$work/store" "$work/mnt" "$work/pc"
sim= fs=
cleanup() {
    if grep -qs " $work/mnt " /proc/mounts; then
        fusermount3 -u "$work/mnt" 2>/dev/null || umount -l "$work/mnt"
    fi
    [[ -n $fs ]] && kill "$fs" 2>/dev/null && wait "$fs" 2>/dev/null
    [[ -n $sim ]] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
"$bin/zotsim" --root "$work/store" --link "$work/tty" --baud 115200 >/dev/null 2>&1 &
sim=$!
for _ in $(seq 100); do [[ -e $work/tty ]] && break; sleep 0.05; done
head -c 1048576 /dev/urandom > "$work/pc/one.bin"

seconds() {  # seconds COMMAND... : wall time of one run, failing the figure if it fails
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || { echo "figure 8 mount: '$*' failed"; exit 1; }
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}
put=$(seconds "$bin/zot" --device "$work/tty" put "$work/pc/one.bin" 'ZOT:\put.bin')
get=$(seconds "$bin/zot" --device "$work/tty" get put.bin "$work/pc/got.bin")
"$bin/zotfs" -f --device "$work/tty" "$work/mnt" >/dev/null 2>&1 &
fs=$!
for _ in $(seq 100); do grep -qs " $work/mnt " /proc/mounts && break; sleep 0.05; done
cpin=$(seconds cp "$work/pc/one.bin" "$work/mnt/cp.bin")
cpout=$(seconds cp "$work/mnt/put.bin" "$work/pc/cpout.bin")
headten=$(seconds head -c 10 "$work/mnt/cp.bin")
same=identical
cmp -s "$work/pc/one.bin" "$work/store/cp.bin" && cmp -s "$work/pc/one.bin" "$work/pc/cpout.bin" ||
    same=DIFFERENT
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'; }
in=$(ratio "$cpin" "$put")
out=$(ratio "$cpout" "$get")
verdict=met
if [[ $same != identical ]] || awk -v a="$in" -v b="$out" 'BEGIN { exit !(a > 1.10 || b > 1.10) }'; then
    verdict=MISSED
fi
printf 'figure 8 mount: cp 1 MiB into the mount / zot put %.3f, out of it / zot get %.3f (target <= 1.10; %.0f s, %.0f s against %.0f s, %.0f s), files %s  %s\n' \
    "$in" "$out" "$cpin" "$cpout" "$put" "$get" "$same" "$verdict"
printf 'figure 8 mount: head -c 10 of a 1 MiB file in the mount %.3f s\n' "$headten"
[[ $verdict == met ]]
