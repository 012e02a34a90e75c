#!/usr/bin/env bash
# Builds the clang fuzz configuration (build-fuzz/) and runs every fuzz target for the
# given time with one worker each, MIVORA_FUZZ_JOBS targets at once (default 1: one
# after the other). Each corpus grows under
# build-fuzz/corpus/<target>; a crash, leak or sanitizer report is kept under
# build-fuzz/findings/<target>/ and the run's output under build-fuzz/logs/<target>.log.
# Prints one line per target (as each finishes) and fails when anything was found.
# Usage: [MIVORA_FUZZ_JOBS=N] scripts/fuzz.sh [seconds-per-target] [target...]
set -euo pipefail
seconds=${1:-60}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-fuzz"
jobs=${MIVORA_JOBS:-$(nproc)}
parallel=${MIVORA_FUZZ_JOBS:-1}
if ! [[ "$parallel" =~ ^[1-9][0-9]*$ ]]; then
  echo "MIVORA_FUZZ_JOBS must be a positive number, not '$parallel'" >&2
  exit 2
fi
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
  echo "clang is not installed (scripts/install-deps.sh installs it)" >&2
  exit 2
fi
cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DMIVORA_LIBFUZZER=ON -DMIVORA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs" --target fuzz_targets
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$dir/logs"
# Runs one target and prints its line; its exit status says whether anything was found.
run_target() {
  local name=$1 program=$2 seeds=$3
  local corpus="$dir/corpus/$name" findings="$dir/findings/$name" log="$dir/logs/$name.log"
  local before found runs cov ft line
  mkdir -p "$corpus" "$findings"
  before=$(find "$findings" -type f | wc -l)
  # New inputs go to the first folder (the corpus); the seeds are read only.
  # shellcheck disable=SC2086
  "$program" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" $seeds >"$log" 2>&1 || true
  found=$(( $(find "$findings" -type f | wc -l) - before ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$( (grep -o 'cov: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  ft=$( (grep -o 'ft: [0-9]*' "$log" || true) | tail -1 | cut -d' ' -f2)
  if [ -z "$runs" ] && [ "$found" -eq 0 ]; then found=1; fi  # it died without its stats
  line=$(printf '%-14s inputs %10s  coverage %6s  features %6s  corpus %6s  findings %d' \
    "$name" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$(find "$corpus" -type f | wc -l)" "$found")
  if [ "$found" -ne 0 ]; then
    line+=$'\n'$( (grep -m3 -E 'ERROR|runtime error|SUMMARY' "$log" || true) | sed 's/^/    /')
  fi
  # One write per target, so lines of targets running side by side do not interleave.
  printf '%s\n' "$line"
  [ "$found" -eq 0 ]
}

failed=0
running=0
while read -r name program seeds; do
  [ -n "$name" ] || continue
  if [ $# -gt 0 ] && [[ " $* " != *" $name "* ]]; then continue; fi
  if [ "$running" -ge "$parallel" ]; then
    wait -n || failed=1
    running=$((running - 1))
  fi
  run_target "$name" "$program" "$seeds" &
  running=$((running + 1))
done <"$dir/fuzz-targets.txt"
while [ "$running" -gt 0 ]; do
  wait -n || failed=1
  running=$((running - 1))
done
exit $failed
