#!/usr/bin/env bash
# Builds the benchmarks in Release (build-release) and runs them: one line per figure, each a
# ratio against the 115200-baud line measured in this run. Exit status 0 when every target
# is met.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQS_BUILD_TESTS=ON -DQS_SANITIZE= -DQS_SKIP= >/dev/null
targets=(zot zotsim bench_line bench_noisy bench_listing bench_rack bench_roundtrip bench_latency)
# Read whole: grep -q stopping early would fail the pipe under pipefail.
available=$(cmake --build "$build" --target help)
grep -q '\bbench_codec\b' <<<"$available" && targets+=(bench_codec)
grep -q '\bzotfs\b' <<<"$available" && targets+=(zotfs)
# The job benchmarks live with the explorers' tests.
grep -q '\bexplorer_bench_paste\b' <<<"$available" && targets+=(explorer_bench_fill explorer_bench_paste)
cmake --build "$build" -j2 --target "${targets[@]}"
exec "$root/bench/run.sh" "$build/bin"
