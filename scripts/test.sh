#!/usr/bin/env bash
# Configures, builds and runs every test.  Usage: scripts/test.sh [normal|sanitize|tsan]
# tsan (not in CI): ThreadSanitizer over the threaded parts without windows, the
# engine, media, kernel and session tests; the windowed tests are left out, Qt's own
# reports there would drown the signal.
set -euo pipefail
kind=${1:-normal}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$kind" in
  normal)   dir="$root/build";      flags=() ;;
  sanitize) dir="$root/build-asan"; flags=(-DMIVORA_SANITIZE=ON -DMIVORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  tsan)     dir="$root/build-tsan"; flags=(-DMIVORA_TSAN=ON -DMIVORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  *) echo "usage: $0 [normal|sanitize|tsan]" >&2; exit 2 ;;
esac
jobs=${MIVORA_JOBS:-$(nproc)}
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}"
if [ "$kind" = tsan ]; then
  tests=(engine media kernel session)
  cmake --build "$dir" -j "$jobs" --target "${tests[@]/#/test_}"
  export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1:history_size=4}
  status=0
  for t in "${tests[@]}"; do
    echo "== test_$t"
    (cd "$dir/tests/$t" && QT_QPA_PLATFORM=offscreen "./test_$t") || status=1
  done
  exit $status
fi
cmake --build "$dir" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
# The tests with "Real" in their name run on virtual displays (scripts/on-xvfb.sh).
select=()
if ! command -v Xvfb > /dev/null 2>&1 || ! command -v xdotool > /dev/null 2>&1; then
  echo "test.sh: Xvfb or xdotool is missing (scripts/install-deps.sh installs them): the real-display tests are skipped"
  select=(-LE real_display)
fi
status=0
ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600 "${select[@]}" || status=$?
# Screenshots and other files the tests saved, one folder per test program.
echo "test.sh: test artifacts (screenshots):"
for d in "$dir"/tests/*/artifacts; do
  if [ -d "$d" ] && [ -n "$(ls -A "$d")" ]; then echo "  $d"; fi
done
exit "$status"
