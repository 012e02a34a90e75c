#!/usr/bin/env bash
# A second program against the local test world that scripts/run.sh started, so two
# users can meet in a room: like run.sh, each run has a folder of its own under
# build/run-second (named by its start time, the newest linked as
# build/run-second/latest) and the program runs from a copy of build/program there,
# so its saved logon and chat font stay with the run and never reach the folder the
# first program and the tests copy. It uses the test-pattern camera (the first
# program may hold the real one) and the display in $DISPLAY (run.sh prints the
# virtual display it started when there was none). It ends with the program; the
# world goes on.
#
#   MIVORA_BUILD_DIR   the build folder (build)
#   MIVORA_RUN_DIR     the folder of this program's runs (<build folder>/run-second)
#   MIVORA_WORLD_PORT_BASE  the world's port base (27100), as localworld --port-base
#                           takes it: logon at base + 1, web at base + 80; the program
#                           folder's configuration must name the same ports
# The program folder's configuration names the world's fixed ports (27101-27104, 27180).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MIVORA_BUILD_DIR:-$root/build}
runs=${MIVORA_RUN_DIR:-$build/run-second}
base=${MIVORA_WORLD_PORT_BASE:-27100}
port=$((base + 1))

say() { echo "run-second.sh: $*"; }

[ -x "$build/program/mivora" ] || {
  say "$build/program/mivora is missing: run scripts/run.sh first" >&2
  exit 1
}
[ -n "${DISPLAY:-}" ] || {
  say "DISPLAY is not set: give the display the first program runs on, e.g. DISPLAY=:99" >&2
  exit 1
}
if ! (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null; then
  say "no local test world answers on 127.0.0.1:$port: start scripts/run.sh first" >&2
  exit 1
fi

# shellcheck source=scripts/run-folder.sh
. "$root/scripts/run-folder.sh"
new_run_folder "$runs" "$build/program"
say "this run's folder: $run (also $(dirname "$run")/latest)"
web=http://127.0.0.1:$((base + 80))/
export MIVORA_UPDATE_URL=$web MIVORA_NETWORK_TEST_URL=${web}nettest.html
export MIVORA_TEST_CAMERA=${MIVORA_TEST_CAMERA:-1}
export QT_QPA_PLATFORM=xcb

say "second program on $DISPLAY from $run/program (log $run/mivora.log)"
status=0
"$program" > "$run/mivora.log" 2>&1 || status=$?
say "the second program ended with $status"
exit "$status"
