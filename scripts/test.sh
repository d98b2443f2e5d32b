#!/usr/bin/env bash
# Builds and runs every test.
#   --sanitizers  also builds the libraries, the tools and their tests under ASan+UBSan and
#                 under TSan and runs them there, and gives each fuzz target a short run.
#   --explorers-sanitized  with --sanitizers: the Qt explorers too (slow on 2 cores).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
jobs=${JOBS:-2}
# A compiler cache keyed on paths below the checkout, so a fresh clone elsewhere (CI) reuses
# what an earlier build of the same sources compiled.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
sanitizers=0 explorers=0
for a in "$@"; do
  case "$a" in
    --sanitizers) sanitizers=1 ;;
    --explorers-sanitized) explorers=1 ;;
    *) echo "usage: $0 [--sanitizers [--explorers-sanitized]]" >&2; exit 2 ;;
  esac
done
run_suite() {
  local dir=$1; shift
  echo "== $dir"
  cmake -S . -B "$dir" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs" >"$dir/build.log" 2>&1 || { tail -50 "$dir/build.log"; exit 1; }
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 600)
}
# The checked-in style, with the one clang-format whose output it was written for: another
# version formats some constructs differently and would fail a tree that is clean.
echo "== format"
git ls-files '*.cpp' '*.h' | xargs clang-format-14 --dry-run -Werror || {
  echo "format: run clang-format-14 -i on the files above"; exit 1; }
run_suite build -DQS_SANITIZE= -DQS_SKIP=
if [ "$sanitizers" = 1 ]; then
  skip="bench"
  [ "$explorers" = 1 ] || skip="bench;explorer_core;explorer;transfer_explorer"
  run_suite build-asan -DQS_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug -DQS_SKIP="$skip"
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    run_suite build-tsan -DQS_SANITIZE=thread -DCMAKE_BUILD_TYPE=Debug -DQS_SKIP="$skip"
  scripts/fuzz.sh "${FUZZ_SECONDS:-15}"
fi
