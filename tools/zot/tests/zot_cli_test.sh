#!/usr/bin/env bash
# The zot client against the simulator program on a pseudo-terminal: copies both ways,
# listings, and the exit codes and messages of failures.
# usage: zot_cli_test.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/zot-cli-XXXXXX)
store=$work/store
mkdir -p "$store" "$work/pc"
"$bin/zotsim" --root "$store" --link "$work/tty" > "$work/sim.out" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
export COM4="$work/tty"

passed=0 failed=0
check() {  # check NAME EXPECTED_EXIT COMMAND... ; output in $out
    local name=$1 want=$2; shift 2
    out=$("$@" 2>&1); local rc=$?
    if [ "$rc" -eq "$want" ]; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $name: exit $rc, wanted $want"; echo "$out"; fi
}
expect_text() {  # expect_text NAME TEXT : last output contains TEXT
    if grep -qF -- "$2" <<<"$out"; then passed=$((passed + 1)); else
        failed=$((failed + 1)); echo "FAIL $1: output lacks '$2'"; echo "$out"; fi
}
zot() { "$bin/zot" --port 4 "$@"; }

head -c 70000 /dev/urandom > "$work/pc/random.bin"
printf 'a,b\n1,2\n' > "$work/pc/small.csv"

check put_two_files 0 zot put "$work/pc/random.bin" "$work/pc/small.csv" 'ZOT:\'
check put_arrives_identical 0 cmp "$work/pc/random.bin" "$store/random.bin"
check get_to_file_with_verify 0 zot --verify get random.bin "$work/pc/back.bin"
check get_arrives_identical 0 cmp "$work/pc/random.bin" "$work/pc/back.bin"
mkdir "$work/pc/into"
check get_several_into_folder 0 zot --no-compress get random.bin small.csv "$work/pc/into"
check get_into_folder_identical 0 cmp "$work/pc/small.csv" "$work/pc/into/small.csv"
check ls_long 0 zot ls -l
expect_text ls_shows_size "70000"
expect_text ls_shows_name "small.csv"
check mkdir 0 zot mkdir sub
check put_into_folder 0 zot put "$work/pc/small.csv" 'sub\'
check put_into_folder_landed 0 test -f "$store/sub/small.csv"
check attrib_set 0 zot attrib small.csv +r
check attrib_show 0 zot attrib small.csv
expect_text attrib_shows_readonly "-r"
check rm_file 0 zot rm 'sub\small.csv'
check rmdir 0 zot rmdir sub
check info 0 zot info
expect_text info_store "KB free"

check get_missing_fails 1 zot get nothing.txt "$work/pc/x"
expect_text get_missing_names_file_and_reason "get ZOT:\\nothing.txt: no such file or folder"
check ls_missing_folder_fails 1 zot ls nosuch
expect_text ls_missing_folder_says_why 'ls ZOT:\nosuch: no such file or folder'
check put_missing_fails 1 zot put "$work/pc/none.bin"
expect_text put_missing_message "no such file"
check unknown_command 2 zot frobnicate
check bad_port 2 "$bin/zot" --port x ls
check no_device 3 "$bin/zot" --device /nonexistent/tty ls
expect_text no_device_message "cannot open /nonexistent/tty"
check help 0 "$bin/zot" --help
expect_text help_lists_commands "get NAME"

# A bad patch of line: five damaged replies in a row cost the write only early retries, not
# its attempts, so the copy goes through without having to go on from a failure.
store2=$work/store2
mkdir -p "$store2"
"$bin/zotsim" --root "$store2" --link "$work/tty2" --corrupt 5 --corrupt 6 --corrupt 7 \
    --corrupt 8 --corrupt 9 > /dev/null 2>&1 &
sim2=$!
for _ in $(seq 100); do [ -e "$work/tty2" ] && break; sleep 0.05; done
head -c 20000 /dev/urandom > "$work/pc/resume.bin"
check put_through_a_bad_patch 0 "$bin/zot" --device "$work/tty2" put "$work/pc/resume.bin"
printf '%s' "$out" > "$work/bad_patch.out"
check put_needed_no_resumption 1 grep -q resuming "$work/bad_patch.out"
check put_resumed_file_identical 0 cmp "$work/pc/resume.bin" "$store2/resume.bin"
kill $sim2; wait $sim2 2>/dev/null

# A terminal that goes silent for a while in mid-copy: the copy fails after its attempts,
# then zot reconnects once the terminal answers again and finishes the file.
store3=$work/store3
mkdir -p "$store3"
"$bin/zotsim" --root "$store3" --link "$work/tty3" --silent-for 6:24000 > /dev/null 2>&1 &
sim3=$!
for _ in $(seq 100); do [ -e "$work/tty3" ] && break; sleep 0.05; done
check put_survives_a_silent_terminal 0 "$bin/zot" --device "$work/tty3" put "$work/pc/resume.bin" quiet.bin
expect_text put_resumed_after_silence "resuming"
check put_after_silence_identical 0 cmp "$work/pc/resume.bin" "$store3/quiet.bin"
kill $sim3; wait $sim3 2>/dev/null

# The device going away in mid-copy: said so, and "no terminal" (3) rather than a failure.
store4=$work/store4
mkdir -p "$store4"
"$bin/zotsim" --root "$store4" --link "$work/tty4" --baud 19200 > /dev/null 2>&1 &
sim4=$!
for _ in $(seq 100); do [ -e "$work/tty4" ] && break; sleep 0.05; done
"$bin/zot" --device "$work/tty4" put "$work/pc/random.bin" > "$work/gone.out" 2>&1 &
put=$!
for _ in $(seq 200); do [ -s "$store4/random.bin" ] && break; sleep 0.05; done
kill $sim4; wait $sim4 2>/dev/null
wait $put; gone_rc=$?
check put_device_gone_is_no_terminal 0 test "$gone_rc" -eq 3
out=$(cat "$work/gone.out")
expect_text put_device_gone_says_so "random.bin: the device went away"

# --resume continues what an earlier run left partial.
head -c 9000 "$work/pc/random.bin" > "$work/pc/partial.bin"
check get_resume_partial 0 zot --resume get random.bin "$work/pc/partial.bin"
check get_resumed_identical 0 cmp "$work/pc/random.bin" "$work/pc/partial.bin"
head -c 5000 "$work/pc/random.bin" > "$store/part.bin"
cp "$work/pc/random.bin" "$work/pc/part.bin"
check put_resume_partial 0 zot --resume put "$work/pc/part.bin"
check put_resumed_identical 0 cmp "$work/pc/random.bin" "$store/part.bin"

# With two or more arguments the last is the destination, even where a PC file of that
# name exists; a destination that cannot be what the arguments need is refused up front.
printf 'alpha' > "$work/pc/a.txt"
printf 'bravo' > "$work/pc/b.txt"
check put_a_b_copies_one_file 0 bash -c "cd '$work/pc' && '$bin/zot' --port 4 put a.txt b.txt"
check put_a_b_landed_as_b 0 cmp "$work/pc/a.txt" "$store/b.txt"
check put_a_b_made_no_a 1 test -e "$store/a.txt"
check put_many_into_a_file_is_usage 2 zot put "$work/pc/a.txt" "$work/pc/b.txt" small.csv
check get_many_into_a_file_is_usage 2 zot get a.txt b.txt "$work/pc/a.txt"

# Folders both ways, the tree and the times kept.
mkdir -p "$work/pc/tree/sub/deeper"
printf 'one' > "$work/pc/tree/one.txt"
head -c 5000 /dev/urandom > "$work/pc/tree/sub/two.bin"
printf 'three' > "$work/pc/tree/sub/deeper/three.txt"
touch -d '2021-06-01 12:00:00 UTC' "$work/pc/tree/sub/two.bin"
touch -d '2019-01-02 03:04:05 UTC' "$work/pc/tree/sub/deeper/three.txt"
check put_recursive 0 zot put -r "$work/pc/tree" 'ZOT:\'
check put_recursive_tree 0 diff -r "$work/pc/tree" "$store/tree"
check put_keeps_time 0 test "$(stat -c %Y "$store/tree/sub/two.bin")" = \
    "$(stat -c %Y "$work/pc/tree/sub/two.bin")"
check put_folder_without_r_fails 1 zot put "$work/pc/tree" 'ZOT:\'
check ls_recursive 0 zot ls -R tree
expect_text ls_recursive_reaches_the_bottom "three.txt"
mkdir "$work/back"
check get_recursive 0 zot get -r tree "$work/back"
check get_recursive_tree 0 diff -r "$work/pc/tree" "$work/back/tree"
check get_keeps_time 0 test "$(stat -c %Y "$work/back/tree/sub/deeper/three.txt")" = \
    "$(date -d '2019-01-02 03:04:05 UTC' +%s)"

# --json, read by a JSON parser.
check ls_json 0 zot --json ls tree
check ls_json_parses 0 python3 -c '
import json, sys
d = json.loads(sys.argv[1])
two = [e for e in d if e["name"] == "sub"][0]
assert two["is_dir"] and two["path"] == "ZOT:\\tree\\sub", two
one = [e for e in d if e["name"] == "one.txt"][0]
assert one["size"] == 3 and one["time"].endswith("Z") and one["attributes"][0] == "-", one
' "$out"

# sync: a second run copies nothing; --dry-run changes nothing; --delete removes the rest.
check sync_to_pc 0 zot --json sync --to-pc tree "$work/mirror"
check sync_to_pc_tree 0 diff -r "$work/pc/tree" "$work/mirror"
check sync_again 0 zot --json sync --to-pc tree "$work/mirror"
check sync_again_copies_nothing 0 test -z "$out"
printf 'stray' > "$work/mirror/stray.txt"
printf 'changed!' > "$store/tree/one.txt"
check sync_dry_run 0 zot --delete --dry-run sync --to-pc tree "$work/mirror"
expect_text sync_dry_run_plans_the_copy "one.txt"
expect_text sync_dry_run_plans_the_delete "delete $work/mirror/stray.txt"
check sync_dry_run_kept_the_stray 0 test -e "$work/mirror/stray.txt"
check sync_dry_run_copied_nothing 0 test "$(cat "$work/mirror/one.txt")" = one
check sync_delete 0 zot --delete sync --to-pc tree "$work/mirror"
check sync_delete_removed_the_stray 1 test -e "$work/mirror/stray.txt"
check sync_copied_the_change 0 cmp "$store/tree/one.txt" "$work/mirror/one.txt"
check sync_to_terminal 0 zot sync --to-terminal "$work/pc/tree" 'ZOT:\copy'
check sync_to_terminal_tree 0 diff -r "$work/pc/tree" "$store/copy"
check sync_to_terminal_again 0 zot --json sync --to-terminal "$work/pc/tree" 'ZOT:\copy'
check sync_to_terminal_again_copies_nothing 0 test -z "$out"
check rm_recursive 0 zot rm -r copy
check rm_recursive_gone 1 test -e "$store/copy"

# A rack: three terminals and one missing, collected at once into folders of their own.
rack=()
for n in 1 2 3; do
    mkdir -p "$work/rack$n"
    printf "terminal $n" > "$work/rack$n/scan.csv"
    "$bin/zotsim" --root "$work/rack$n" --link "$work/bay$n" > /dev/null 2>&1 &
    rack+=($!)
done
for n in 1 2 3; do for _ in $(seq 100); do [ -e "$work/bay$n" ] && break; sleep 0.05; done; done
check rack_one_missing_fails 1 "$bin/zot" --device "$work/bay1" --device "$work/bay2" \
    --device "$work/bay3" --device "$work/bay4" get scan.csv "$work/collected"
expect_text rack_missing_row "bay4"
expect_text rack_missing_says_why "bay4: zot: cannot open"
"$bin/zot" --json --device "$work/bay1" --device "$work/bay4" ls > "$work/rack.json" 2>/dev/null
check rack_json_has_a_record_per_terminal 0 python3 -c '
import json, sys
runs = {r["terminal"]: r for r in json.load(open(sys.argv[1]))}
assert runs["bay1"]["result"] == "ok" and runs["bay1"]["output"][0]["name"] == "scan.csv", runs
assert runs["bay4"]["result"] == "no terminal", runs
assert runs["bay4"]["errors"][0].startswith("cannot open"), runs
' "$work/rack.json"
for n in 1 2 3; do
    check "rack_bay${n}_collected" 0 cmp "$work/rack$n/scan.csv" "$work/collected/bay$n/scan.csv"
done
kill "${rack[@]}"; wait "${rack[@]}" 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
