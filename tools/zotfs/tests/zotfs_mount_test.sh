#!/usr/bin/env bash
# zotfs mounted on the simulator's store, with ordinary programs working on the mount.
# usage: zotfs_mount_test.sh BIN_DIR
# Exit 77 (skipped) where this machine cannot mount FUSE file systems.
set -u
bin=$1
if [ ! -c /dev/fuse ] || [ ! -r /dev/fuse ] || [ ! -w /dev/fuse ] || ! command -v fusermount3 >/dev/null; then
    echo "SKIP: FUSE is not available here (needs /dev/fuse, read-write, and fusermount3)"
    exit 77
fi
for tool in rsync diff dd truncate tar; do
    command -v $tool >/dev/null || { echo "SKIP: $tool is missing (scripts/deps.sh installs it)"; exit 77; }
done

work=$(mktemp -d /tmp/zotfs-test-XXXXXX)
store=$work/store mnt=$work/mnt pc=$work/pc
mkdir -p "$store" "$mnt" "$pc"
sim= fs=
start_sim() {
    # A line of 1 Mbaud: fast enough for the tests, slow enough to pull it in mid-copy.
    "$bin/zotsim" --root "$store" --link "$work/tty" --baud 1000000 --store-size 10485760 \
        >> "$work/sim.out" 2>&1 &
    sim=$!
    for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
}
stop_sim() {
    [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
    sim=
}
teardown() {
    # Never leave a stale mount behind, whatever failed.
    for m in "$mnt" "$work/mnt2"; do
        if grep -qs " $m " /proc/mounts; then fusermount3 -u "$m" 2>/dev/null || umount -l "$m"; fi
    done
    [ -n "$fs" ] && kill "$fs" 2>/dev/null && wait "$fs" 2>/dev/null
    stop_sim
    rm -rf "$work"
}
trap teardown EXIT
# A time-out's signal goes the same way out, through the teardown.
trap 'exit 1' INT TERM

passed=0 failed=0
check() {  # check NAME EXPECTED_EXIT COMMAND... ; output in $out
    local name=$1 want=$2; shift 2
    out=$("$@" 2>&1); local rc=$?
    if [ "$rc" -eq "$want" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $name: exit $rc, wanted $want"; echo "$out"; fi
}
expect_text() {  # expect_text NAME TEXT : last output contains TEXT; false when not
    if grep -qF -- "$2" <<<"$out"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: output lacks '$2'"; echo "$out"; return 1; fi
}
expect_empty() {  # expect_empty NAME : last output is empty
    if [ -z "$out" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: unexpected output"; echo "$out"; fi
}
mtime() { stat -c %Y "$1"; }
# The kernel lets go of a mount a moment after the last program that used it has ended; until
# then fusermount3 says "busy", as it would for any FUSE file system.
unmount() {
    for _ in $(seq 50); do fusermount3 -u "$1" 2>/dev/null && return 0; sleep 0.1; done
    fusermount3 -u "$1"
}

start_sim
# On the terminal before the mount: what changes behind the mount's back shows only once the
# mount's listing of that folder has run out.
printf 'raw\n' > "$store/$(printf 'x\x81y.txt')"
# Names travel in Windows-1252 here, so one name can be encoded and another cannot, and a
# few bytes are no character at all.
export ZOTLINK_CODEPAGE=CP1252 LC_ALL=C.UTF-8
"$bin/zotfs" -f --device "$work/tty" "$mnt" > "$work/zotfs.out" 2>&1 &
fs=$!
for _ in $(seq 100); do grep -qs " $mnt " /proc/mounts && break; sleep 0.05; done
if ! grep -qs " $mnt " /proc/mounts; then
    echo "FAIL mount: zotfs did not mount"; cat "$work/zotfs.out"; exit 1
fi

# The mount holds the line from the start: a second mount of the device fails at once.
mkdir -p "$work/mnt2"
check second_mount_refused 3 "$bin/zotfs" --device "$work/tty" "$work/mnt2"
expect_text second_mount_refused_reason "in use"

# A tree with a file over several reads and writes, an empty file and nested folders.
mkdir -p "$pc/tree/sub/deeper"
head -c 150000 /dev/urandom > "$pc/tree/big.bin"
printf 'a,b\n1,2\n' > "$pc/tree/sub/small.csv"
: > "$pc/tree/sub/empty"
printf 'half\n' > "$pc/tree/sub/50%.txt"
head -c 3000 /dev/urandom > "$pc/tree/sub/deeper/d.bin"
chmod -R u=rwX,go=rX "$pc/tree"
touch -d '2021-05-06 07:08:09 UTC' "$pc/tree/big.bin" "$pc/tree/sub" "$pc/tree"

check cp_tree_in 0 cp -r "$pc/tree" "$mnt/tree"
check cp_tree_in_reads_back_identical 0 diff -r "$pc/tree" "$mnt/tree"
check cp_tree_in_lands_on_terminal_identical 0 diff -r "$pc/tree" "$store/tree"
check cp_tree_out 0 cp -r "$mnt/tree" "$pc/back"
check cp_tree_out_identical 0 diff -r "$pc/tree" "$pc/back"

# Programs that copy a tree with its times: file times land on the terminal, folder times
# stay with the mount; sizes and times hold, so a second rsync has nothing to do.
check rsync_first_run 0 rsync -a "$pc/tree/" "$mnt/synced/"
check rsync_second_run 0 rsync -a -i "$pc/tree/" "$mnt/synced/"
expect_empty rsync_second_run_transfers_nothing
check rsync_keeps_file_times 0 test "$(mtime "$pc/tree/big.bin")" = "$(mtime "$store/synced/big.bin")"
check rsync_keeps_folder_times 0 test "$(mtime "$pc/tree")" = "$(mtime "$mnt/synced")"
check rsync_result_identical 0 diff -r "$pc/tree" "$store/synced"
check cp_a 0 cp -a "$pc/tree" "$mnt/copied"
check cp_a_keeps_file_times 0 test "$(mtime "$pc/tree/big.bin")" = "$(mtime "$store/copied/big.bin")"
check cp_a_keeps_folder_times 0 test "$(mtime "$pc/tree/sub")" = "$(mtime "$mnt/copied/sub")"
check cp_a_result_identical 0 diff -r "$pc/tree" "$store/copied"
tar -C "$pc" -cf "$work/tree.tar" tree
mkdir "$mnt/unpacked"
check tar_x 0 tar -C "$mnt/unpacked" -xf "$work/tree.tar"
check tar_x_keeps_file_times 0 test "$(mtime "$pc/tree/big.bin")" = "$(mtime "$store/unpacked/tree/big.bin")"
check tar_x_result_identical 0 diff -r "$pc/tree" "$store/unpacked/tree"

before=$(mtime "$mnt/tree/big.bin")
check mv_file 0 mv "$mnt/tree/big.bin" "$mnt/tree/moved.bin"
check mv_file_keeps_contents 0 cmp "$pc/tree/big.bin" "$store/tree/moved.bin"
check mv_file_keeps_time 0 test "$before" = "$(mtime "$mnt/tree/moved.bin")"
check mv_file_leaves_no_source 1 test -e "$store/tree/big.bin"
check mv_case_only 0 mv "$mnt/tree/sub/small.csv" "$mnt/tree/sub/SMALL.csv"
check mv_case_only_keeps_contents 0 cmp "$pc/tree/sub/small.csv" "$store/tree/sub/SMALL.csv"
check mv_folder 0 mv "$mnt/tree/sub" "$mnt/moved_sub"
check mv_folder_moved_whole 0 cmp "$pc/tree/sub/deeper/d.bin" "$store/moved_sub/deeper/d.bin"
check mkdir_p 0 mkdir -p "$mnt/p/q/r"
check mkdir_p_made_all 0 test -d "$store/p/q/r"
check rmdir_not_empty 1 rmdir "$mnt/p/q"
expect_text rmdir_not_empty_reason "Directory not empty"
check rm_r 0 rm -r "$mnt/moved_sub" "$mnt/p"
check rm_r_removed_all 1 test -e "$store/moved_sub"
check touch_d 0 touch -d '2020-02-03 04:05:06 UTC' "$mnt/tree/moved.bin"
check touch_d_shows 0 test "$(mtime "$mnt/tree/moved.bin")" = 1580702706
check touch_d_on_terminal 0 test "$(mtime "$store/tree/moved.bin")" = 1580702706
check truncate_grow 0 truncate -s 200000 "$mnt/tree/moved.bin"
check truncate_grow_size 0 test "$(stat -c %s "$store/tree/moved.bin")" = 200000
check truncate_shrink 0 truncate -s 1000 "$mnt/tree/moved.bin"
check truncate_shrink_keeps_start 0 cmp "$mnt/tree/moved.bin" <(head -c 1000 "$pc/tree/big.bin")

# An edit in place, across a 1 KiB request boundary.
cp "$pc/tree/big.bin" "$pc/edited.bin"
printf 'EDITED IN PLACE' | dd of="$pc/edited.bin" bs=1 seek=70000 conv=notrunc status=none
cp "$pc/tree/big.bin" "$mnt/edit.bin"
check dd_notrunc 0 dd if=<(printf 'EDITED IN PLACE') of="$mnt/edit.bin" bs=1 seek=70000 conv=notrunc status=none
check dd_notrunc_reads_back 0 cmp "$pc/edited.bin" "$mnt/edit.bin"
check dd_notrunc_on_terminal 0 cmp "$pc/edited.bin" "$store/edit.bin"

check df 0 df -k "$mnt"
expect_text df_shows_store "10240"

check name_in_wire_code_page 0 touch "$mnt/café.txt"
check name_arrives_in_wire_code_page 0 test -e "$store/$(printf 'caf\xe9.txt')"
check name_outside_code_page 1 touch "$mnt/Ωmega.txt"
expect_text name_outside_code_page_reason "Invalid or incomplete multibyte"
# A byte that is no character of the code page is shown as %XX, and leads back to the file.
check undecodable_name_listed 0 ls "$mnt"
expect_text undecodable_name_escaped "x%81y.txt" || ls -la "$store"
check undecodable_name_reachable 0 test "$(cat "$mnt/x%81y.txt")" = raw
check name_too_long 1 touch "$mnt/$(printf 'n%.0s' $(seq 100))"
expect_text name_too_long_reason "File name too long"

# The line pulled in mid-copy: the copy fails with an I/O error, the mount stays, while the
# device is missing operations fail with an I/O error, and once it is back on the same path
# the next ls works.
head -c 2000000 /dev/urandom > "$pc/long.bin"
cp "$pc/long.bin" "$mnt/long.bin" > "$work/cp.out" 2>&1 &
copy=$!
for _ in $(seq 200); do
    [ "$(stat -c %s "$store/long.bin" 2>/dev/null || echo 0)" -gt 20000 ] && break; sleep 0.05
done
stop_sim
wait "$copy"; copied=$?
check pulled_line_fails_the_copy 0 test "$copied" -ne 0
out=$(cat "$work/cp.out")
expect_text pulled_line_gives_io_error "Input/output error"
check ls_while_line_is_away 2 ls "$mnt"
expect_text ls_while_line_is_away_gives_io_error "Input/output error"
start_sim
check ls_after_line_is_back 0 ls "$mnt/tree"
expect_text ls_after_line_is_back_lists "moved.bin"

# The line is free for the next program as soon as the mount is gone.
check unmount 0 unmount "$mnt"
check zot_right_after_unmount 0 "$bin/zot" --device "$work/tty" ls
wait "$fs"; rc=$?
fs=
check zotfs_ends_cleanly_on_unmount 0 test "$rc" -eq 0

check mount_strict_times 0 "$bin/zotfs" -o strict_times --device "$work/tty" "$mnt"
check strict_times_refuses_folder_times 1 touch "$mnt/tree"
expect_text strict_times_reason "Operation not permitted"
check unmount_strict_times 0 unmount "$mnt"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
