#!/usr/bin/env bash
# The zot client against the simulator program on a pseudo-terminal: copies both ways,
# listings, and the exit codes and messages of failures.
# usage: zot_cli_test.sh BIN_DIR
set -u
bin=$1
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

check put_two_files 0 zot put "$work/pc/random.bin" "$work/pc/small.csv"
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
expect_text get_missing_names_file_and_reason "nothing.txt: the source cannot be opened"
check put_missing_fails 1 zot put "$work/pc/none.bin"
expect_text put_missing_message "no such file"
check unknown_command 2 zot frobnicate
check bad_port 2 "$bin/zot" --port x ls
check no_device 3 "$bin/zot" --device /nonexistent/tty ls
expect_text no_device_message "cannot open /nonexistent/tty"
check help 0 "$bin/zot" --help
expect_text help_lists_commands "get NAME"

# A bad patch of line: five damaged replies in a row make a write fail after all its
# attempts; zot goes on from what the terminal confirmed.
store2=$work/store2
mkdir -p "$store2"
"$bin/zotsim" --root "$store2" --link "$work/tty2" --corrupt 5 --corrupt 6 --corrupt 7 \
    --corrupt 8 --corrupt 9 > /dev/null 2>&1 &
sim2=$!
for _ in $(seq 100); do [ -e "$work/tty2" ] && break; sleep 0.05; done
head -c 20000 /dev/urandom > "$work/pc/resume.bin"
check put_resumes_after_a_bad_patch 0 "$bin/zot" --device "$work/tty2" put "$work/pc/resume.bin"
expect_text put_says_it_resumed "resuming, attempt 1 of 5"
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

# --resume continues what an earlier run left partial.
head -c 9000 "$work/pc/random.bin" > "$work/pc/partial.bin"
check get_resume_partial 0 zot --resume get random.bin "$work/pc/partial.bin"
check get_resumed_identical 0 cmp "$work/pc/random.bin" "$work/pc/partial.bin"
head -c 5000 "$work/pc/random.bin" > "$store/part.bin"
cp "$work/pc/random.bin" "$work/pc/part.bin"
check put_resume_partial 0 zot --resume put "$work/pc/part.bin"
check put_resumed_identical 0 cmp "$work/pc/random.bin" "$store/part.bin"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
