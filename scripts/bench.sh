#!/usr/bin/env bash
# Builds the benchmarks in Release (build-release) and runs them: one line per figure, each a
# ratio against the 115200-baud line measured in this run. Exit status 0 when every target
# is met.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-release
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(zot zotsim bench_line bench_noisy bench_roundtrip)
cmake --build "$build" --target help | grep -q '\bbench_codec\b' && targets+=(bench_codec)
# The job benchmarks live with the explorers' tests.
cmake --build "$build" --target help | grep -q '\bexplorer_bench_paste\b' &&
    targets+=(explorer_bench_fill explorer_bench_paste)
cmake --build "$build" -j2 --target "${targets[@]}"
exec "$root/bench/run.sh" "$build/bin"
