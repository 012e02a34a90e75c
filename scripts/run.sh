#!/usr/bin/env bash
# The main job: builds the program, lays out its folder (build/program), starts the
# local test world (tools/localworld) and then the program on $DISPLAY. Without a
# display it says so and runs the program on a virtual display (Xvfb), saving a
# screenshot every 10 s. Each run has a folder of its own under build/run (named by
# its start time, the newest linked as build/run/latest): the program runs from a
# copy of build/program there, so what it writes beside itself stays with the run,
# and the run's logs, screenshots, documents and configuration folders are there
# too. The world stops when the program ends.
#
# For tests and special runs:
#   MIVORA_BUILD_DIR   the build folder (build)
#   MIVORA_RUN_DIR     the folder of the runs (<build folder>/run)
#   MIVORA_RUN_BUILD=0 use the build folder as it is, without building
#   MIVORA_WORLD_ARGS  options for localworld, e.g. "--port-base 0"
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MIVORA_BUILD_DIR:-$root/build}
runs=${MIVORA_RUN_DIR:-$build/run}
jobs=${MIVORA_JOBS:-$(nproc)}

say() { echo "run.sh: $*"; }

if [ "${MIVORA_RUN_BUILD:-1}" != 0 ]; then
  cmake -S "$root" -B "$build" -G Ninja
  cmake --build "$build" -j "$jobs"
fi
world=$build/tools/localworld
grab=$build/tools/screengrab
for f in "$build/program/mivora" "$world"; do
  [ -x "$f" ] || { say "$f is missing: build first" >&2; exit 1; }
done

# A folder for this run with a copy of its own: build/program stays as the build laid
# it out.
# shellcheck source=scripts/run-folder.sh
. "$root/scripts/run-folder.sh"
new_run_folder "$runs" "$build/program"
say "this run's folder: $run (also $(dirname "$run")/latest)"

world_pid="" xvfb_pid="" grab_pid="" client_pid=""
stop() {
  local pid
  for pid in "$grab_pid" "$client_pid" "$world_pid" "$xvfb_pid"; do
    [ -n "$pid" ] || continue
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# shellcheck disable=SC2086  # the options are words on purpose
"$world" ${MIVORA_WORLD_ARGS:-} > "$run/world.log" 2>&1 &
world_pid=$!
for _ in $(seq 100); do
  grep -q 'localworld: ready' "$run/world.log" && break
  kill -0 "$world_pid" 2>/dev/null || break
  sleep 0.1
done
if ! grep -q 'localworld: ready' "$run/world.log"; then
  say "the local test world did not start:" >&2
  cat "$run/world.log" >&2
  exit 1
fi
web=$(grep -o 'web http://[^ ,]*' "$run/world.log" | head -1 | cut -d' ' -f2)
say "local test world started (pid $world_pid, log $run/world.log): $(grep 'localworld: ready' "$run/world.log")"
# The program's update check and network test ask the world.
export MIVORA_UPDATE_URL=$web MIVORA_NETWORK_TEST_URL=${web}nettest.html

if [ -z "${DISPLAY:-}" ]; then
  display=""
  for n in $(seq 99 150); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
  done
  [ -n "$display" ] || { say "no free display number for Xvfb" >&2; exit 1; }
  say "there is no display (DISPLAY is not set): using a virtual display, Xvfb $display;" \
      "a screenshot every 10 s goes to $run/"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp > "$run/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
  done
  export DISPLAY=$display
  if [ -x "$grab" ]; then
    (
      trap 'kill $! 2>/dev/null; exit 0' TERM
      shot=0
      sleep 2 & wait $!
      while :; do
        shot=$((shot + 1))
        "$grab" "$(printf '%s/screen-%04d.png' "$run" "$shot")" 2>> "$run/xvfb.log" || true
        sleep 10 & wait $!
      done
    ) &
    grab_pid=$!
  else
    say "$grab is missing: no screenshots"
  fi
fi
export QT_QPA_PLATFORM=xcb

"$program" > "$run/mivora.log" 2>&1 &
client_pid=$!
say "program started on $DISPLAY from $run/program (pid $client_pid, log $run/mivora.log)"
status=0
wait "$client_pid" || status=$?
client_pid=""
say "the program ended with $status; stopping the local test world"
kill -TERM "$world_pid" 2>/dev/null || true
wait "$world_pid" 2>/dev/null || true
world_pid=""
say "local test world stopped"
exit "$status"
