#!/usr/bin/env bash
# End to end under a real window manager: the program on a private virtual
# screen with openbox, moved by its title bar, maximised and restored with
# its caption button, closed with its close button; on a desktop's
# 1920 x 1080 screen, where openbox maximises it, and on a 2560 x 1600 one,
# larger than the largest window, where it takes that size itself. Restore
# must bring back the place and size it had, and the exit path must write
# the settings record with that size.
#   window_manager_e2e.sh KURVANA
# Needs Xvfb, openbox, xdotool, xprop and ImageMagick (scripts/deps.sh
# installs them).
set -euo pipefail
set -o errtrace

fail() {
  echo "window_manager_e2e: FAIL: $*" >&2
  if [ -n "${work-}" ] && [ -s "$work/kurvana.log" ]; then
    sed 's/^/  kurvana: /' "$work/kurvana.log" >&2
  fi
  keep=true
  exit 1
}

trap 'fail "unexpected failure of: $BASH_COMMAND (line $LINENO)"' ERR

[ $# -eq 1 ] || { echo "usage: window_manager_e2e.sh KURVANA" >&2; exit 2; }
kurvana="$(realpath "$1")"
[ -x "$kurvana" ] || fail "no program at $kurvana"
for tool in Xvfb openbox xdotool xprop import od; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done
export LC_ALL=C.UTF-8

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual_screen.sh"
. "$(dirname "${BASH_SOURCE[0]}")/pointer_and_windows.sh"
work="$(mktemp -d)"
keep=false
xvfb_pid=
openbox_pid=
program_pid=
cleanup() {
  end_processes $program_pid $openbox_pid $xvfb_pid
  if $keep; then echo "window_manager_e2e: screenshots and files kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

shot=0
# A screenshot of the whole screen, kept when the test fails.
screenshot() {
  shot=$((shot + 1))
  import -silent -window root "$work/$shot-$1.png" || fail "screenshot failed"
}

# Sets $geometry to "WxH+X+Y" of the program's visible window of the
# largest area (the main window; the splash is smaller), or empty.
main_geometry() {
  local id shell w h x y best=0
  geometry=
  for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null || true); do
    shell="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null || true)"
    w="$(sed -n 's/^WIDTH=//p' <<<"$shell")"
    h="$(sed -n 's/^HEIGHT=//p' <<<"$shell")"
    x="$(sed -n 's/^X=//p' <<<"$shell")"
    y="$(sed -n 's/^Y=//p' <<<"$shell")"
    [ -n "$w" ] && [ -n "$h" ] || continue
    if [ $((w * h)) -gt "$best" ] && [ "$w" -ge 900 ]; then
      best=$((w * h))
      geometry="${w}x$h+$x+$y"
    fi
  done
}

# Waits up to 20 s for the main window to have the geometry WxH+X+Y.
wait_for_geometry() {
  local deadline=$((SECONDS + 20))
  while :; do
    running "$program_pid" || fail "$2: kurvana ended"
    main_geometry
    [ "$geometry" = "$1" ] && return 0
    if [ $SECONDS -ge $deadline ]; then
      screenshot failed
      fail "$2: the window is ${geometry:-not shown}, not $1"
    fi
    sleep 0.1
  done
}

# The pointer clicks at window point (X, Y) of the window at $geometry.
click_at() {
  local x="${geometry#*+}" y
  y="${x#*+}"
  x="${x%%+*}"
  pointer_to $((x + $1)) $((y + $2))
  xdotool click 1
}

# The caption buttons, 32 x 24 at 4 pixels from the top: maximise 78 and
# close 44 pixels from the right edge.
click_caption() {
  local w="${geometry%%x*}"
  click_at $((w - $1 + 16)) 16
}

run_on_screen() {
  local screen="$1" maximised="$2"
  local sw="${screen%x*}" sh="${screen#*x}" folder="$work/$screen"
  mkdir -p "$folder"
  start_virtual_screen "$folder" "$screen"
  virtual_screen_ready "$folder" || fail "$screen_problem"
  openbox --sm-disable >"$folder/openbox.log" 2>&1 &
  openbox_pid=$!
  # Managing once it has announced itself on the root window.
  local deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    running "$openbox_pid" || fail "openbox did not start: $(tail -n 3 "$folder/openbox.log")"
    [ $SECONDS -lt $deadline ] || fail "openbox did not take the screen within 20 s"
    sleep 0.1
  done

  local home="$folder/home"
  mkdir -p "$home" "$folder/runtime"
  chmod 700 "$folder/runtime"
  env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$folder/runtime" QT_QPA_PLATFORM=xcb \
    "$kurvana" >>"$work/kurvana.log" 2>&1 &
  program_pid=$!

  # After the splash, centred on the screen.
  local cx=$(((sw - 1024) / 2)) cy=$(((sh - 768) / 2))
  wait_for_geometry "1024x768+$cx+$cy" "$screen: the main window after the splash"
  screenshot "$screen-started"

  # Dragged by its title bar (the window manager moves it) to a place of
  # its own, so that restore has somewhere to go back to.
  local nx=$((cx - 200)) ny=$((cy - 100))
  pointer_to $((cx + 500)) $((cy + 12))
  xdotool mousedown 1
  local step
  for step in 1 2 3 4; do
    xdotool mousemove --sync $((cx + 500 - 50 * step)) $((cy + 12 - 25 * step))
  done
  # Released once the window has followed, as a hand lets go when it sees
  # the window there: on a busy machine the last motion may still be on its
  # way, and a release before it ends the move one step short.
  local normal="1024x768+$nx+$ny"
  wait_for_geometry "$normal" "$screen: the window following the title-bar drag"
  xdotool mouseup 1
  wait_for_geometry "$normal" "$screen: the window dragged by its title bar"

  click_caption 78
  wait_for_geometry "$maximised" "$screen: maximised"
  screenshot "$screen-maximised"
  click_caption 78
  wait_for_geometry "$normal" "$screen: restored"
  screenshot "$screen-restored"
  # And once more, the record sound after a round trip.
  click_caption 78
  wait_for_geometry "$maximised" "$screen: maximised again"
  click_caption 78
  wait_for_geometry "$normal" "$screen: restored again"

  # The close button runs the exit path.
  click_caption 44
  deadline=$((SECONDS + 20))
  local status=0
  while running "$program_pid"; do
    [ $SECONDS -lt $deadline ] || fail "$screen: kurvana still runs 20 s after its close button"
    sleep 0.1
  done
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "$screen: kurvana ended with status $status"
  local record="$home/Documents/Talvoren/Kurvana/Kurvana.ini" w h
  [ -f "$record" ] || fail "$screen: no settings record $record"
  [ "$(wc -c <"$record")" -eq 89 ] || fail "$screen: the settings record is not 89 bytes"
  read -r w h < <(od -An -v --endian=little -t d4 -N 8 "$record")
  [ "$w x $h" = "1024 x 768" ] ||
    fail "$screen: the settings record holds the window size $w x $h, not 1024 x 768"

  end_processes $openbox_pid $xvfb_pid
  openbox_pid=
  xvfb_pid=
}

# openbox maximises to the whole screen (no panel on it).
run_on_screen 1920x1080 1920x1080+0+0
# Larger than the largest window: 2240 x 1440 centred, not asked of openbox.
run_on_screen 2560x1600 2240x1440+160+80

echo "window_manager_e2e: passed in $SECONDS s"
