#!/usr/bin/env bash
# A second program against the local test world that scripts/run.sh started, so two
# users can meet in a room: the same program folder, its own documents and
# configuration folders (XDG) under build/run-second, the test-pattern camera (the
# first program may hold the real one), and the display in $DISPLAY (run.sh prints
# the virtual display it started when there was none). It ends with the program;
# the world goes on.
#
#   MIVORA_BUILD_DIR  the build folder (build)
#   MIVORA_RUN_DIR    this program's run folder (<build folder>/run-second)
# The program folder's configuration names the world's fixed ports (27101-27104, 27180).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MIVORA_BUILD_DIR:-$root/build}
run=${MIVORA_RUN_DIR:-$build/run-second}

say() { echo "run-second.sh: $*"; }

program=$build/program/mivora
[ -x "$program" ] || { say "$program is missing: run scripts/run.sh first" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || {
  say "DISPLAY is not set: give the display the first program runs on, e.g. DISPLAY=:99" >&2
  exit 1
}
if ! (exec 3<> /dev/tcp/127.0.0.1/27101) 2> /dev/null; then
  say "no local test world answers on 127.0.0.1:27101: start scripts/run.sh first" >&2
  exit 1
fi

mkdir -p "$run/config" "$run/data" "$run/Documents" "$run/Desktop"
run=$(cd "$run" && pwd)
printf 'XDG_DOCUMENTS_DIR="%s"\nXDG_DESKTOP_DIR="%s"\n' "$run/Documents" "$run/Desktop" \
  > "$run/config/user-dirs.dirs"
export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data
web=http://127.0.0.1:27180/
export MIVORA_UPDATE_URL=$web MIVORA_NETWORK_TEST_URL=${web}nettest.html
export MIVORA_TEST_CAMERA=${MIVORA_TEST_CAMERA:-1}
export QT_QPA_PLATFORM=xcb

say "second program on $DISPLAY (log $run/mivora.log)"
status=0
"$program" > "$run/mivora.log" 2>&1 || status=$?
say "the second program ended with $status"
exit "$status"
