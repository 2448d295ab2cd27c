#!/usr/bin/env bash
# The window on a real Wayland compositor: runs the Wayland window tests
# under weston's headless backend, once on a desktop's 1920 x 1080 output
# and once on a 2560 x 1600 one (larger than the largest window), and fails
# on a protocol error or any other failure.
#   under_weston.sh WAYLAND_WINDOW_TESTS
# Needs weston and Qt's Wayland plugin (qt6-wayland); scripts/deps.sh
# installs both.
set -euo pipefail

fail() {
  echo "under_weston: FAIL: $*" >&2
  exit 1
}

[ $# -eq 1 ] || { echo "usage: under_weston.sh WAYLAND_WINDOW_TESTS" >&2; exit 2; }
tests="$(realpath "$1")"
[ -x "$tests" ] || fail "no test program at $tests"
command -v weston >/dev/null || fail "weston is missing (scripts/deps.sh installs it)"

work="$(mktemp -d)"
weston_pid=
cleanup() {
  if [ -n "$weston_pid" ]; then
    kill "$weston_pid" 2>/dev/null || true
    wait "$weston_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
runtime="$work/runtime"
mkdir -p "$runtime"
chmod 700 "$runtime"

for output in 1920x1080 2560x1600; do
  socket="kurvana-$output"
  # No weston.ini of the machine's: the output and the shell as given here.
  XDG_RUNTIME_DIR="$runtime" weston --backend=headless-backend.so --socket="$socket" \
    --width="${output%x*}" --height="${output#*x}" --idle-time=0 --no-config \
    --log="$work/weston-$output.log" >/dev/null 2>&1 &
  weston_pid=$!
  # The compositor listens once its socket is there.
  deadline=$((SECONDS + 30))
  until [ -S "$runtime/$socket" ]; do
    kill -0 "$weston_pid" 2>/dev/null ||
      fail "weston ($output) did not start: $(tail -n 5 "$work/weston-$output.log" 2>/dev/null)"
    [ $SECONDS -lt $deadline ] || fail "weston ($output) made no socket within 30 s"
    sleep 0.1
  done

  # The tests keep a runtime folder of their own, so the socket is named by
  # its full path.
  status=0
  env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY="$runtime/$socket" \
    QT_QPA_PLATFORM=wayland "$tests" >"$work/tests-$output.log" 2>&1 || status=$?
  kill "$weston_pid" 2>/dev/null || true
  wait "$weston_pid" 2>/dev/null || true
  weston_pid=

  if grep -q 'Could not find the Qt platform plugin "wayland"' "$work/tests-$output.log"; then
    fail "Qt's Wayland plugin is missing (qt6-wayland; scripts/deps.sh installs it)"
  fi
  if [ "$status" -ne 0 ] || grep -qi 'protocol error' "$work/tests-$output.log"; then
    sed 's/^/  /' "$work/tests-$output.log" >&2
    fail "the Wayland window tests on a $output output ended with status $status"
  fi
  echo "under_weston: $output: $(grep -E '^\[  PASSED  \]' "$work/tests-$output.log")"
done
echo "under_weston: passed"
