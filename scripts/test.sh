#!/usr/bin/env bash
# Configures, builds and runs every test.  Usage: scripts/test.sh [normal|sanitize]
set -euo pipefail
kind=${1:-normal}
root=$(cd "$(dirname "$0")/.." && pwd)
case "$kind" in
  normal)   dir="$root/build";      flags=() ;;
  sanitize) dir="$root/build-asan"; flags=(-DMIVORA_SANITIZE=ON -DMIVORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug) ;;
  *) echo "usage: $0 [normal|sanitize]" >&2; exit 2 ;;
esac
jobs=${MIVORA_JOBS:-$(nproc)}
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}"
cmake --build "$dir" -j "$jobs"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 600
