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
check put_into_missing_folder_fails 1 zot put "$work/pc/small.csv" 'NEWDIR\'
expect_text put_into_missing_folder_names_it 'put: destination NEWDIR\: no such folder'
check get_into_missing_folder_fails 1 zot get small.csv "$work/nodir/"
expect_text get_into_missing_folder_names_it "get: destination $work/nodir/: no such folder"
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

# Ctrl-C in mid-copy: exit 130, the partial file kept, and --resume finishes it.
store5=$work/store5
mkdir -p "$store5"
cp "$work/pc/resume.bin" "$store5/resume.bin"
"$bin/zotsim" --root "$store5" --link "$work/tty5" --baud 19200 > /dev/null 2>&1 &
sim5=$!
for _ in $(seq 100); do [ -e "$work/tty5" ] && break; sleep 0.05; done
"$bin/zot" --device "$work/tty5" get resume.bin "$work/pc/cut.bin" > /dev/null 2>&1 &
get=$!
for _ in $(seq 200); do [ -s "$work/pc/cut.bin" ] && break; sleep 0.05; done
kill -INT $get
wait $get; cut_rc=$?
check get_interrupted_exits_130 0 test "$cut_rc" -eq 130
check get_interrupted_keeps_the_partial_file 0 test -s "$work/pc/cut.bin"
check get_interrupted_resumes 0 "$bin/zot" --device "$work/tty5" --resume get resume.bin \
    "$work/pc/cut.bin"
check get_interrupted_resumed_identical 0 cmp "$work/pc/resume.bin" "$work/pc/cut.bin"
kill $sim5; wait $sim5 2>/dev/null

# --resume continues what an earlier run left partial.
head -c 9000 "$work/pc/random.bin" > "$work/pc/partial.bin"
check get_resume_partial 0 zot --resume get random.bin "$work/pc/partial.bin"
check get_resumed_identical 0 cmp "$work/pc/random.bin" "$work/pc/partial.bin"
head -c 5000 "$work/pc/random.bin" > "$store/part.bin"
cp "$work/pc/random.bin" "$work/pc/part.bin"
check put_resume_partial 0 zot --resume put "$work/pc/part.bin"
check put_resumed_identical 0 cmp "$work/pc/random.bin" "$store/part.bin"
head -c 9000 /dev/urandom > "$work/pc/unrelated.bin"
check get_resume_over_another_file 0 zot --resume get random.bin "$work/pc/unrelated.bin"
expect_text get_resume_over_another_file_says_so "copying from the start"
check get_resume_over_another_file_identical 0 cmp "$work/pc/random.bin" "$work/pc/unrelated.bin"

# With two or more arguments the last is the destination, even where a PC file of that
# name exists; a destination that cannot be what the arguments need is refused up front.
printf 'alpha' > "$work/pc/a.txt"
printf 'bravo' > "$work/pc/b.txt"
check put_a_b_copies_one_file 0 bash -c "cd '$work/pc' && '$bin/zot' --port 4 put a.txt b.txt"
check put_a_b_landed_as_b 0 cmp "$work/pc/a.txt" "$store/b.txt"
check put_a_b_made_no_a 1 test -e "$store/a.txt"
check put_many_into_a_file_is_usage 2 zot put "$work/pc/a.txt" "$work/pc/b.txt" small.csv
check get_many_into_a_file_is_usage 2 zot get a.txt b.txt "$work/pc/a.txt"

# -n keeps an existing destination; -u replaces only an older one.
printf 'terminal' > "$store/kept.txt"
printf 'pc' > "$work/pc/kept.txt"
check get_n_keeps_the_pc_file 0 zot -n get kept.txt "$work/pc/kept.txt"
check get_n_kept_it 0 test "$(cat "$work/pc/kept.txt")" = pc
touch -d '2000-01-01 UTC' "$store/kept.txt"
check put_u_replaces_an_older_file 0 zot -u put "$work/pc/kept.txt"
check put_u_replaced_it 0 test "$(cat "$store/kept.txt")" = pc
printf 'newer' > "$store/kept.txt"
touch -d '2000-01-01 UTC' "$work/pc/kept.txt"
check put_u_keeps_a_newer_file 0 zot --update put "$work/pc/kept.txt"
check put_u_kept_it 0 test "$(cat "$store/kept.txt")" = newer

# Wildcards match the terminal's listing without regard to case, in ls, get and rm alike.
mkdir "$work/wild" "$store/wild"
printf '1' > "$store/wild/A.CSV"
printf '2' > "$store/wild/b.csv"
printf '3' > "$store/wild/c.txt"
check ls_wildcard 0 zot ls 'wild\*.csv'
check ls_wildcard_lists_both_cases 0 test "$(printf '%s\n' "$out" | sort | tr '\n' ' ')" = "A.CSV b.csv "
check get_wildcard 0 zot get 'wild/?.Csv' "$work/wild"
check get_wildcard_got_both 0 test "$(ls "$work/wild" | tr '\n' ' ')" = "A.CSV b.csv "
check rm_wildcard 0 zot rm 'wild\*.CSV'
check rm_wildcard_left_the_rest 0 test "$(ls "$store/wild")" = c.txt
check ls_wildcard_matching_nothing_fails 1 zot ls 'wild\*.csv'

# Standard input and output stand in for a PC file with "-".
check put_from_stdin 0 bash -c "'$bin/zot' --port 4 put - piped.bin < '$work/pc/random.bin'"
check put_from_stdin_identical 0 cmp "$work/pc/random.bin" "$store/piped.bin"
"$bin/zot" --port 4 get piped.bin - > "$work/pc/piped.out" 2>/dev/null
check get_to_stdout_identical 0 cmp "$work/pc/random.bin" "$work/pc/piped.out"

# mv on the terminal keeps the file's bytes, time and attributes, and the source goes.
printf 'moving' > "$store/wild/moved.txt"
touch -d '2020-02-02 02:02:02 UTC' "$store/wild/moved.txt"
chmod a-w "$store/wild/moved.txt"
check mv_into_folder 0 zot mv 'wild\moved.txt' 'ZOT:\'
check mv_source_gone 1 test -e "$store/wild/moved.txt"
check mv_kept_bytes 0 test "$(cat "$store/moved.txt")" = moving
check mv_kept_time 0 test "$(stat -c %Y "$store/moved.txt")" = \
    "$(date -d '2020-02-02 02:02:02 UTC' +%s)"
check mv_kept_read_only 0 test "$(stat -c %A "$store/moved.txt")" = "-r--r--r--"
# A folder moves whole, and only once all it holds has moved; never into itself.
mkdir -p "$store/mvdir/inner" && printf 'deep' > "$store/mvdir/inner/deep.txt"
check mv_folder_into_itself 1 zot mv mvdir 'mvdir\inner\'
check mv_folder 0 zot mv mvdir renamed
check mv_folder_whole 0 test "$(cat "$store/renamed/inner/deep.txt")" = deep
check mv_folder_source_gone 1 test -e "$store/mvdir"

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
touch -d '2018-03-04 05:06:07 UTC' "$store/tree/sub"
check get_recursive 0 zot get -r tree "$work/back"
check get_recursive_keeps_folder_times 0 test "$(stat -c %Y "$work/back/tree/sub")" = \
    "$(date -d '2018-03-04 05:06:07 UTC' +%s)"
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
check sync_v_exclude 0 zot -v --delete --exclude '*.TMP' --exclude deeper sync --to-pc tree \
    "$work/excluded"
expect_text sync_v_lists_a_copy "copied ZOT:\tree\sub\two.bin -> $work/excluded/sub/two.bin"
check sync_exclude_left_out_the_folder 1 test -e "$work/excluded/sub/deeper"
printf 'scratch' > "$work/excluded/keep.tmp"
printf 'stray' > "$work/excluded/stray.txt"
check sync_v_delete 0 zot -v --delete --exclude '*.tmp' --exclude deeper sync --to-pc tree \
    "$work/excluded"
expect_text sync_v_lists_a_delete "deleted $work/excluded/stray.txt"
check sync_exclude_spares_the_destination 0 test -e "$work/excluded/keep.tmp"
check sync_to_terminal 0 zot sync --to-terminal "$work/pc/tree" 'ZOT:\copy'
check sync_to_terminal_tree 0 diff -r "$work/pc/tree" "$store/copy"
check sync_to_terminal_again 0 zot --json sync --to-terminal "$work/pc/tree" 'ZOT:\copy'
check sync_to_terminal_again_copies_nothing 0 test -z "$out"
check rm_recursive 0 zot rm -r copy
check rm_recursive_gone 1 test -e "$store/copy"

# Safe by default: the root, read-only files and names the terminal could not list back.
printf 'keep' > "$store/locked.txt"
chmod a-w "$store/locked.txt"
check rm_read_only_asks_for_f 1 zot rm locked.txt
expect_text rm_read_only_names_file_and_flag 'rm ZOT:\locked.txt: the file is read-only (use -f'
check rm_f_deletes_read_only 0 zot rm -f locked.txt
check rm_f_deleted_it 1 test -e "$store/locked.txt"
long=$(printf 'n%.0s' $(seq 116)).txt
printf 'x' > "$work/pc/$long"
check put_120_byte_name_refused 1 zot put "$work/pc/$long"
expect_text put_120_byte_name_says_why "name too long for the terminal (120 bytes, at most 99)"
mkdir -p "$work/plinth"
"$bin/zotsim" --root "$work/plinth" --link "$work/ttyp" --server-name "Plinth 2" > /dev/null 2>&1 &
simp=$!
for _ in $(seq 100); do [ -e "$work/ttyp" ] && break; sleep 0.05; done
check mkdir_17_byte_name_on_16_byte_server_refused 1 "$bin/zot" --device "$work/ttyp" \
    mkdir abcdefghijklm.txt
expect_text mkdir_17_byte_name_says_why "name too long for the terminal (17 bytes, at most 16)"
check refused_name_sent_nothing 0 test -z "$(ls -A "$work/plinth")"
kill $simp; wait $simp 2>/dev/null
check rm_root_refused 1 zot rm -r 'ZOT:\'
check rm_root_refused_kept_all 0 test -e "$store/random.bin"
check rm_no_preserve_root_empties_the_store 0 zot rm -rf --no-preserve-root /
check rm_no_preserve_root_emptied 0 test -z "$(ls -A "$store")"

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
"$bin/zot" --json --device "$work/bay1" --device "$work/bay2" --device "$work/bay3" \
    --device "$work/bay4" ls > "$work/rack.json" 2>/dev/null
check rack_json_lines_have_a_record_per_terminal 0 python3 -c '
import json, sys
runs = {}
for line in open(sys.argv[1]):
    r = json.loads(line)
    runs[r["terminal"]] = r
assert len(runs) == 4, runs
for n in (1, 2, 3):
    assert runs[f"bay{n}"]["status"] == "ok" and runs[f"bay{n}"]["output"][0]["name"] == "scan.csv", runs
assert runs["bay4"]["status"] == "no terminal", runs
assert runs["bay4"]["error"].startswith("cannot open"), runs
' "$work/rack.json"
for n in 1 2 3; do
    check "rack_bay${n}_collected" 0 cmp "$work/rack$n/scan.csv" "$work/collected/bay$n/scan.csv"
done
kill "${rack[@]}"; wait "${rack[@]}" 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
