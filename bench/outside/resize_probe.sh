#!/usr/bin/env bash
# Runs resize_probe against a fresh window on a private 2560 x 1600 virtual
# screen, with no window manager or under openbox (--wm openbox).
#   bench/outside/resize_probe.sh BUILD [--wm openbox] [--formula F] [resize_probe options]
# BUILD is a build folder with kurvana and bench/resize_probe (KURVANA_BENCH
# on). The window starts with formula F from its history, so that each step
# draws a curve (F(x)=4*sin(x) unless given; --formula '' for none). Without --mode the probe runs twice, each on a fresh window:
# configure requests, then a grip drag. Sourced, it only defines the
# session functions (idle_probe.sh uses them).
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual_screen.sh"

session=
xvfb_pid=
wm_pid=
program_pid=

# Starts Xvfb on screen $2, the window manager $3 (if any) and the program
# $1 over a fresh home folder, with formula $4 (if any) as the newest of its
# history; returns once its main window is shown.
start_session() {
  session="$(mktemp -d)"
  start_virtual_screen "$session" "$2"
  virtual_screen_ready "$session" || { echo "$screen_problem" >&2; return 1; }
  if [ -n "$3" ]; then
    "$3" --sm-disable >"$session/wm.log" 2>&1 &
    wm_pid=$!
    local deadline=$((SECONDS + 20))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
      [ $SECONDS -lt $deadline ] || { echo "$3 did not take the screen" >&2; return 1; }
      sleep 0.1
    done
  fi
  local home="$session/home"
  mkdir -p "$home" "$session/runtime"
  if [ -n "${4-}" ]; then
    mkdir -p "$home/Documents/Talvoren/Kurvana"
    printf '%s\r\n' "$4" >"$home/Documents/Talvoren/Kurvana/Kurvana.lst"
  fi
  chmod 700 "$session/runtime"
  env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$session/runtime" QT_QPA_PLATFORM=xcb \
    "$1" >"$session/kurvana.log" 2>&1 &
  program_pid=$!
  # The main window (at least 900 wide; the splash is smaller), then the
  # first plot drawn after it shows.
  local deadline=$((SECONDS + 20)) id w
  while :; do
    running "$program_pid" || { cat "$session/kurvana.log" >&2; return 1; }
    for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null || true); do
      w="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null | sed -n 's/^WIDTH=//p')"
      [ -n "$w" ] && [ "$w" -ge 900 ] && break 2
    done
    [ $SECONDS -lt $deadline ] || { echo "no main window within 20 s" >&2; return 1; }
    sleep 0.1
  done
  sleep 1
}

end_session() {
  end_processes $program_pid $wm_pid $xvfb_pid
  program_pid= wm_pid= xvfb_pid=
  rm -rf "$session"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  [ $# -ge 1 ] || { echo "usage: resize_probe.sh BUILD [--wm openbox] [probe options]" >&2; exit 2; }
  build="$(realpath "$1")"
  shift
  wm=
  formula='F(x)=4*sin(x)'
  while [ $# -ge 2 ]; do
    case "$1" in
      --wm) wm="$2" ;;
      --formula) formula="$2" ;;
      *) break ;;
    esac
    shift 2
  done
  for tool in "$build/kurvana" "$build/bench/resize_probe"; do
    [ -x "$tool" ] || { echo "resize_probe.sh: no $tool" >&2; exit 1; }
  done
  trap end_session EXIT
  given=false
  for arg in "$@"; do [ "$arg" = --mode ] && given=true; done
  if $given; then
    start_session "$build/kurvana" 2560x1600 "$wm" "$formula"
    "$build/bench/resize_probe" --pid "$program_pid" --server-pid "$xvfb_pid" "$@"
    end_session
  else
    for mode in configure grip; do
      start_session "$build/kurvana" 2560x1600 "$wm" "$formula"
      "$build/bench/resize_probe" --pid "$program_pid" --server-pid "$xvfb_pid" --mode "$mode" "$@"
      end_session
    done
  fi
fi
