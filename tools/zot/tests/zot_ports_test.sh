#!/usr/bin/env bash
# zot ports and the port map: binding COM1 to the simulator's link in ports.conf is all zot
# needs to reach it; the map keeps what the user wrote beside it. And why a port does not
# open: missing, not a serial device, in use, permission denied, or open but quiet.
# usage: zot_ports_test.sh BIN_DIR
set -u
bin=$1
work=$(mktemp -d /tmp/zot-ports-XXXXXX)
mkdir -p "$work/store" "$work/config/Corvale"
"$bin/zotsim" --root "$work/store" --link "$work/tty" > "$work/sim.out" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
unset COM1 COM2 DRIFTBOX_USB
export XDG_CONFIG_HOME=$work/config
printf '; kept\n[Ports]\nCOM2=/dev/ttyUSB7\n' > "$work/config/Corvale/ports.conf"

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

check set_com1 0 "$bin/zot" ports set 1 "$work/tty"
check reaches_simulator_through_map 0 "$bin/zot" info
expect_text info_from_simulator "KB free"
check list 0 "$bin/zot" ports
expect_text list_shows_binding "COM1  $work/tty  [map]"
expect_text list_shows_other_binding "COM2  /dev/ttyUSB7  [map] (none)"
check environment_wins 0 env COM1="$work/tty" "$bin/zot" ports set 1 /dev/ttyUSB0
expect_text environment_note "environment variable COM1 is set and wins over the map"
check unset 0 "$bin/zot" ports unset COM1
check map_file_kept 0 grep -qx '; kept' "$work/config/Corvale/ports.conf"
check unset_leaves_default 0 "$bin/zot" ports
expect_text default_after_unset "COM1  /dev/ttyS0  [default]"
check relative_device_refused 2 "$bin/zot" ports set 1 ttyUSB0
expect_text relative_reason "absolute path"
check bad_port_refused 2 "$bin/zot" ports set 0 /dev/ttyUSB0
check bad_usage 2 "$bin/zot" ports frob

# Each reason a port does not open is told, and a quiet terminal apart from them.
check missing_fails 3 "$bin/zot" --device "$work/ttyUSB9" ls
expect_text missing_reason "cannot open $work/ttyUSB9: no such device"
: > "$work/plain-file"
check not_serial_fails 3 "$bin/zot" --device "$work/plain-file" ls
expect_text not_serial_reason "not a serial device"
"$bin/zotsim" --root "$work/store" --device "$work/tty" > "$work/holder.out" 2>&1 &
holder=$!
for _ in $(seq 100); do grep -q . "$work/holder.out" 2>/dev/null && break; sleep 0.05; done
check in_use_fails 3 "$bin/zot" --device "$work/tty" ls
expect_text in_use_reason "in use by another program"
kill $holder; wait $holder 2>/dev/null
locked=$(mktemp /tmp/zot-locked-XXXXXX)
chmod 000 "$locked"
as_user=()
[ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
check permission_fails 3 "${as_user[@]}" "$bin/zot" --device "$locked" ls
expect_text permission_reason "permission denied"
expect_text permission_hint "sudo usermod -aG dialout \$USER"
rm -f "$locked"
"$bin/zotsim" --root "$work/store" --link "$work/quiet" --silent-after 1 > /dev/null 2>&1 &
quiet=$!
for _ in $(seq 100); do [ -e "$work/quiet" ] && break; sleep 0.05; done
check quiet_terminal_fails 3 "$bin/zot" --device "$work/quiet" ls
expect_text quiet_reason "no terminal answered on $work/quiet: the port is open"
kill $quiet; wait $quiet 2>/dev/null

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
