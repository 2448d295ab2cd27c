# Sourced by scripts/run.sh and the end-to-end tests: a private X server on a
# 1920 x 1080 screen (or another size), and the running and ending of
# processes.

# A process still running (a child that has ended but is not yet reaped is not).
running() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  stat="${stat##*) }"
  [ "${stat:0:1}" != Z ]
}

# Ends the processes given (the program, the server) and reaps them.
end_processes() {
  local pid
  for pid in "$@"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}

# Starts Xvfb with its files in folder $1, its screen $2 (WxH, 1920x1080
# unless given), and sets xvfb_pid. Xvfb picks a free display itself and
# writes its number when it accepts clients.
# -noreset: a server reset, after each short-lived xdotool client, refuses a
# program connecting at that moment.
start_virtual_screen() {
  Xvfb -displayfd 3 -screen 0 "${2:-1920x1080}x24" -nolisten tcp -noreset 3>"$1/display" \
    2>"$1/xvfb.log" &
  xvfb_pid=$!
}

# Waits up to 10 s for the server started in folder $1 and exports DISPLAY;
# otherwise says why in screen_problem and returns 1.
virtual_screen_ready() {
  local _
  for _ in $(seq 100); do
    grep -q '^[0-9][0-9]*$' "$1/display" 2>/dev/null && break
    if ! running "$xvfb_pid"; then
      screen_problem="Xvfb did not start: $(tail -n 3 "$1/xvfb.log")"
      return 1
    fi
    sleep 0.1
  done
  if ! grep -q '^[0-9][0-9]*$' "$1/display"; then
    screen_problem="Xvfb did not report a display within 10 s"
    return 1
  fi
  export DISPLAY=":$(cat "$1/display")"
}
