#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (ASan+UBSan) and runs each for SECONDS
# (default 15) from its committed seed corpus. New inputs go to a scratch folder, so the
# committed corpora change only when someone merges them on purpose.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-15}
scripts/deps.sh
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DQS_FUZZ=ON -DQS_BUILD_TESTS=OFF \
  -DQS_SANITIZE=address -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQS_SKIP="uartpipe;explorer;transfer_explorer;bench" >/dev/null
fuzzers=$(ls fuzz/corpus)
targets=$(for f in $fuzzers; do printf '%s_fuzzer ' "$f"; done)
cmake --build build-fuzz -j"${JOBS:-2}" --target $targets
scratch=$(mktemp -d /tmp/quayside-fuzz-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
for f in $fuzzers; do
  mkdir -p "$scratch/$f"
  echo "fuzzing $f for ${seconds}s"
  (cd "$scratch" && "$OLDPWD/build-fuzz/bin/${f}_fuzzer" -max_total_time="$seconds" -timeout=10 \
     -rss_limit_mb=2048 "$scratch/$f" "$OLDPWD/fuzz/corpus/$f" 2>"$scratch/$f.log") || {
    tail -40 "$scratch/$f.log"; echo "fuzzer $f found a fault"; exit 1; }
  grep -E '^Done|stat::number_of_executed_units' "$scratch/$f.log" | tail -1 || true
done
