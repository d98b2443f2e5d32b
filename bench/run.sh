#!/usr/bin/env bash
# Runs every benchmark from a build's bin folder and ends with one line per figure.
# Usage: bench/run.sh BIN_DIR
set -u
bin=${1:?usage: bench/run.sh BIN_DIR}
out=$(mktemp -d /tmp/qs-bench-out-XXXXXX)
trap 'rm -rf "$out"' EXIT
status=0

# The paced runs sleep on the simulated line, so the noisy-line copies go alongside the
# clean ones; the runs that keep the processors busy come after them.
"$bin/bench_noisy" >"$out/noisy" 2>&1 &
noisy=$!
"$bin/bench_latency" >"$out/latency" 2>&1 &
latency=$!
"$bin/bench_listing" >"$out/listing" 2>&1 &
listing=$!
"$bin/bench_line" | tee "$out/line" || status=1
wait "$noisy" || status=1
cat "$out/noisy"
wait "$latency" || status=1
cat "$out/latency"
wait "$listing" || status=1
cat "$out/listing"
# Four paced lines at once: after the noisy runs, so the lines it measures are its own.
"$bin/bench_rack" | tee "$out/rack" || status=1
"$bin/bench_roundtrip" | tee "$out/roundtrip" || status=1
if [[ -x $bin/bench_codec ]]; then
    "$bin/bench_codec" --benchmark_min_time=0.2 --benchmark_color=false --benchmark_format=console | tee "$out/codec" || status=1
else
    echo "figure 5 codec: not built (Google Benchmark missing; scripts/deps.sh installs it)" |
        tee "$out/codec"
fi
# The explorer's job benchmarks: the fill of a 10,000-file folder and the paste job.
if [[ -x $bin/explorer_bench_fill && -x $bin/explorer_bench_paste ]]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
    fill=$("$bin/explorer_bench_fill" 2>/dev/null | grep '^fill' | tail -n 1) || status=1
    paste=$("$bin/explorer_bench_paste" 2>/dev/null | grep '^paste job') || status=1
    echo "figure 4 jobs: $fill; $paste" | tee "$out/jobs"
else
    echo "figure 4 jobs: not built (the explorers need Qt 6; scripts/deps.sh installs it)" |
        tee "$out/jobs"
fi
# The mount against the command-line client, on a line of its own.
"$(dirname "$0")/zotfs_bench.sh" "$bin" | tee "$out/mount" || status=1

echo
echo "== figures =="
cat "$out"/* | grep '^figure' | sort -k2,2n
exit $status
