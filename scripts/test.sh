#!/usr/bin/env bash
# Builds and runs every test. With --sanitizers it also runs the suite under ASan+UBSan and TSan.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=${JOBS:-2}
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 300)
}
run_suite build
if [ "${1:-}" = "--sanitizers" ]; then
  run_suite build-asan -DQS_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    run_suite build-tsan -DQS_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug
  scripts/fuzz.sh "${FUZZ_SECONDS:-15}"
fi
