#!/usr/bin/env bash
# Runs one test program on a virtual X display of its own, with the real-display
# switch on: CTest starts every test with "Real" in its name through this script.
#   scripts/on-xvfb.sh <test program> [arguments...]
# Ends with 77 (CTest's "skipped") when Xvfb or xdotool is missing. Listing the tests
# (--gtest_list_tests) needs no display and runs the program directly.
set -u
for arg in "$@"; do
  [ "$arg" = --gtest_list_tests ] && exec "$@"
done
for tool in Xvfb xdotool; do
  if ! command -v "$tool" > /dev/null 2>&1; then
    echo "on-xvfb.sh: $tool is not installed (scripts/install-deps.sh installs it): real-display test skipped"
    exit 77
  fi
done

# Xvfb picks a free display number itself (-displayfd) and writes it once it listens,
# so parallel tests never race for a number.
work=$(mktemp -d "${TMPDIR:-/tmp}/mivora-xvfb.XXXXXX")
xvfb="" child=""
finish() {
  [ -n "$child" ] && kill -TERM "$child" 2> /dev/null && wait "$child" 2> /dev/null
  [ -n "$xvfb" ] && kill -TERM "$xvfb" 2> /dev/null && wait "$xvfb" 2> /dev/null
  rm -rf "$work"
}
trap finish EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
mkfifo "$work/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$work/displayfd" 2> "$work/xvfb.log" &
xvfb=$!
number=""
read -r -t 60 number < "$work/displayfd" || true
if [ -z "$number" ]; then
  echo "on-xvfb.sh: Xvfb did not start:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi

export DISPLAY=":$number" QT_QPA_PLATFORM=xcb MIVORA_REAL_DISPLAY=1
# The sanitizer build: what the X platform's outside libraries keep is not ours.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/on-xvfb.lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
# In the background, so a TERM from CTest's timeout stops the test and the display.
"$@" &
child=$!
# A test that hangs says where before CTest's timeout kills it without a word:
# past MIVORA_XVFB_WATCHDOG seconds (its CTest timeout less 20 s) its threads' stacks go
# to the output (gdb), then it is stopped. The sleeps hold none of the output, which CTest reads to its end.
watch=${MIVORA_XVFB_WATCHDOG:-280}
(
  for ((waited = 0; waited < watch; waited++)); do
    kill -0 "$child" 2> /dev/null || exit 0
    sleep 1 < /dev/null > /dev/null 2>&1
  done
  echo "on-xvfb.sh: the test still runs after $watch s; its threads:" >&2
  if command -v gdb > /dev/null 2>&1; then
    gdb -p "$child" -batch -ex "thread apply all bt 30" < /dev/null >&2 2>&1
  fi
  kill -TERM "$child" 2> /dev/null
) &
watchdog=$!
status=0
wait "$child" || status=$?
child=""
kill "$watchdog" 2> /dev/null
wait "$watchdog" 2> /dev/null
exit "$status"
