#!/usr/bin/env bash
# End to end: the real window on a private virtual screen, driven as a user
# drives it, checked against kurvana-cli's pictures and the files it leaves.
#   window_e2e.sh KURVANA KURVANA_CLI
# Needs Xvfb, xdotool and ImageMagick (scripts/deps.sh installs them).
set -euo pipefail
set -o errtrace

fail() {
  echo "window_e2e: FAIL: $*" >&2
  if [ -n "${work-}" ] && [ -s "$work/kurvana.log" ]; then
    sed 's/^/  kurvana: /' "$work/kurvana.log" >&2
  fi
  keep=true
  exit 1
}

# Any other command that fails names itself.
trap 'fail "unexpected failure of: $BASH_COMMAND (line $LINENO)"' ERR

[ $# -eq 2 ] || { echo "usage: window_e2e.sh KURVANA KURVANA_CLI" >&2; exit 2; }
kurvana="$(realpath "$1")"
cli="$(realpath "$2")"
[ -x "$kurvana" ] || fail "no program at $kurvana"
[ -x "$cli" ] || fail "no program at $cli"
for tool in Xvfb xdotool import compare od awk; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

# Both programs read and write numbers with the point.
export LC_ALL=C.UTF-8
formula='F(x)=sin(x)*x/3'
size=824x668  # the plot image of a 1024 x 768 window

work="$(mktemp -d)"
keep=false
xvfb_pid=
program_pid=
cleanup() {
  local pid
  for pid in $program_pid $xvfb_pid; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  # What a failure leaves (screenshots, the program's files) is kept to look at.
  if $keep; then echo "window_e2e: screenshots and files kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A process still running (a child that has ended but is not yet reaped is not).
running() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  stat="${stat##*) }"
  [ "${stat:0:1}" != Z ]
}

# --- A private screen. ---
# Xvfb picks a free display and reports it when ready. -noreset: a server
# reset, after each short-lived xdotool client, refuses a program connecting
# at that moment.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!

# The expected pictures, made while the server starts.
"$cli" draw --f 'F(x)=' --size "$size" -o "$work/expected-start.bmp" >/dev/null ||
  fail "kurvana-cli could not draw the start-up plot"
"$cli" draw --f "$formula" --size "$size" -o "$work/expected-typed.bmp" >/dev/null ||
  fail "kurvana-cli could not draw $formula"

for _ in $(seq 100); do
  grep -q '^[0-9][0-9]*$' "$work/display" 2>/dev/null && break
  running "$xvfb_pid" || fail "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
  sleep 0.1
done
grep -q '^[0-9][0-9]*$' "$work/display" || fail "Xvfb did not report a display within 10 s"
export DISPLAY=":$(cat "$work/display")"

# --- The program, with a home of its own. ---
home="$work/home"
data="$home/Documents/Talvoren/Kurvana"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"
env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  "$kurvana" >"$work/kurvana.log" 2>&1 &
program_pid=$!
started=$SECONDS

# The splash (417 x 260) comes first, the 1024 x 768 main window 2.5 s later.
main=
while [ -z "$main" ]; do
  running "$program_pid" || fail "kurvana ended before its main window appeared"
  [ $((SECONDS - started)) -lt 20 ] || fail "no 1024x768 Kurvana window within 20 s"
  for id in $(xdotool search --onlyvisible --name '^Kurvana$' 2>/dev/null || true); do
    geometry="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null || true)"
    if grep -qx 'WIDTH=1024' <<<"$geometry" && grep -qx 'HEIGHT=768' <<<"$geometry"; then
      main="$geometry"
    fi
  done
  [ -n "$main" ] || sleep 0.1
done
wx="$(sed -n 's/^X=//p' <<<"$main")"
wy="$(sed -n 's/^Y=//p' <<<"$main")"
[ "$wx,$wy" = "448,156" ] || fail "the main window is at $wx,$wy, not centred at 448,156"

# Window points on the screen.
plot_crop="$size+$((wx + 8))+$((wy + 40))"
xmin_crop="92x22+$((wx + 1024 - 107))+$((wy + 40))"
plot_x=$((wx + 8 + 412))
plot_y=$((wy + 40 + 334))
# An empty spot of the right-hand panel: keeps the pointer off the plot.
away_x=$((wx + 1024 - 100))
away_y=$((wy + 600))

# The helpers below answer through variables, not output: a failure inside
# $(...) would end only that subshell.
shot=0
# Saves the plot as the screen shows it, in a new file named in $current.
capture_plot() {
  shot=$((shot + 1))
  current="$work/plot$shot.png"
  import -silent -window root -crop "$plot_crop" +repage "$current" || fail "screenshot failed"
}

# Sets $count to the number of pixels in which two pictures of one size differ.
differing() {
  local out status=0
  out="$(compare -metric AE "$1" "$2" null: 2>&1)" || status=$?
  [ "$status" -le 1 ] && [[ "$out" =~ ^[0-9]+ ]] || fail "compare could not compare $1 with $2: $out"
  count="${BASH_REMATCH[0]}"
}

# Waits until the plot equals PICTURE pixel for pixel.
wait_for_plot() {
  local picture="$1" what="$2" deadline=$((SECONDS + 10))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $what"
    capture_plot
    differing "$current" "$picture"
    [ "$count" -eq 0 ] && return 0
    [ $SECONDS -lt $deadline ] ||
      fail "$what: the plot differs from kurvana-cli's picture in $count pixels"
    sleep 0.1
  done
}

# Waits until the plot differs from BEFORE and then holds still for two more
# looks (a pan preview or a pending repaint does not); the file holding it is
# named in $current.
wait_for_change() {
  local before="$1" what="$2" deadline=$((SECONDS + 10)) last= held=0
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $what"
    capture_plot
    differing "$current" "$before"
    if [ "$count" -ne 0 ]; then
      if [ -n "$last" ]; then
        differing "$current" "$last"
        if [ "$count" -eq 0 ]; then held=$((held + 1)); else held=0; fi
      fi
      [ "$held" -ge 2 ] && return 0
      last="$current"
    fi
    [ $SECONDS -lt $deadline ] || fail "$what: the plot did not change, or kept changing, for 10 s"
    sleep 0.1
  done
}

# --- The first plot: the empty formula of a first start. ---
wait_for_plot "$work/expected-start.bmp" "first plot after start-up"

# --- Typing a formula and Enter. ---
xdotool mousemove --sync $((wx + 10 + 200)) $((wy + 768 - 41 + 11)) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 10 "$formula"
xdotool key Return
xdotool mousemove --sync "$away_x" "$away_y"
wait_for_plot "$work/expected-typed.bmp" "Draw by Enter of $formula"
typed="$current"

# --- A pan drag to the right: the picture moves with the pointer. ---
import -silent -window root -crop "$xmin_crop" +repage "$work/xmin-before.png" ||
  fail "screenshot failed"
xdotool mousemove --sync "$plot_x" "$plot_y" mousedown 1
for step in 1 2 3 4 5 6; do
  xdotool mousemove --sync $((plot_x + 25 * step)) "$plot_y"
done
xdotool mouseup 1
xdotool mousemove --sync "$away_x" "$away_y"
wait_for_change "$typed" "pan drag"
dragged="$current"
import -silent -window root -crop "$xmin_crop" +repage "$work/xmin-after.png" ||
  fail "screenshot failed"
differing "$work/xmin-before.png" "$work/xmin-after.png"
[ "$count" -ne 0 ] || fail "pan drag: the x min field still shows the same value"

# --- Wheel over the window: zoom in on x, then with Ctrl on y. ---
xdotool click 4
wait_for_change "$dragged" "wheel zoom"
zoomed_x="$current"
xdotool keydown ctrl click 4 keyup ctrl
wait_for_change "$zoomed_x" "Ctrl+wheel zoom"
zoomed_y="$current"

# --- The close caption button ends the program. ---
xdotool mousemove --sync $((wx + 1024 - 44 + 16)) $((wy + 4 + 12)) click 1
deadline=$((SECONDS + 10))
while running "$program_pid"; do
  [ $SECONDS -lt $deadline ] || fail "kurvana still runs 10 s after its close button was clicked"
  sleep 0.1
done
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || fail "kurvana ended with status $status"

# --- The history: the typed formula first, CR LF ended. ---
history="$data/Kurvana.lst"
[ -f "$history" ] || fail "no history file $history"
expected_line="$formula"$'\r\n'
first="$(head -c ${#expected_line} "$history"; echo x)"
[ "${first%x}" = "$expected_line" ] ||
  fail "the history's first line is not '$formula' with CR LF: $(head -n 1 "$history" | od -An -c | head -n 2)"

# --- The settings record: 89 bytes, the window size, the ranges shown last. ---
record="$data/Kurvana.ini"
[ -f "$record" ] || fail "no settings record $record"
record_size="$(wc -c <"$record")"
[ "$record_size" -eq 89 ] || fail "the settings record has $record_size bytes, not 89"
read -r record_w record_h < <(od -An -v --endian=little -t d4 -N 8 "$record")
[ "$record_w x $record_h" = "1024 x 768" ] ||
  fail "the settings record holds the window size $record_w x $record_h, not 1024 x 768"
# xMin, xMax, yMin, yMax: 10-byte x87 extended reals from offset 8, written
# with the 6 significant digits of the fields, so %.6g gives the fields back.
read -r xmin xmax ymin ymax < <(od -An -v -t u1 -j 8 -N 40 "$record" | awk '
  { for (i = 1; i <= NF; i++) b[n++] = $i }
  END {
    for (k = 0; k < 4; k++) {
      o = 10 * k; m = 0
      for (i = 7; i >= 0; i--) m = m * 256 + b[o + i]
      e = b[o + 8] + 256 * (b[o + 9] % 128)
      v = (e == 0 && m == 0) ? 0 : m * 2 ^ (e - 16383 - 63)
      if (b[o + 9] >= 128) v = -v
      printf "%s%.6g", (k ? " " : ""), v
    }
    print ""
  }')
# The drag to the right moved x min below 0; zooming in halved the x span
# (about 10 -> 5) and exactly halved the y range.
awk -v a="$xmin" 'BEGIN { exit !(a < 0) }' ||
  fail "after the pan drag to the right x min is $xmin, not below 0"
awk -v a="$xmin" -v b="$xmax" 'BEGIN { exit !(b - a > 4.999 && b - a < 5.001) }' ||
  fail "after the pan drag and a wheel zoom the x range is $xmin..$xmax, not 5 wide"
[ "$ymin $ymax" = "-2.5 2.5" ] || fail "after Ctrl+wheel the y range is $ymin..$ymax, not -2.5..2.5"

# Each zoom redrew from the range fields, so both pictures are kurvana-cli's
# for the recorded fields (y untouched by the first zoom).
"$cli" draw --f "$formula" --x-min "$xmin" --x-max "$xmax" --size "$size" \
  -o "$work/expected-zoomed-x.bmp" >/dev/null || fail "kurvana-cli could not draw the x zoom"
"$cli" draw --f "$formula" --x-min "$xmin" --x-max "$xmax" --y-min "$ymin" --y-max "$ymax" \
  --size "$size" -o "$work/expected-zoomed-y.bmp" >/dev/null || fail "kurvana-cli could not draw the y zoom"
differing "$zoomed_x" "$work/expected-zoomed-x.bmp"
[ "$count" -eq 0 ] ||
  fail "wheel zoom: the plot differs from kurvana-cli's for x $xmin..$xmax in $count pixels"
differing "$zoomed_y" "$work/expected-zoomed-y.bmp"
[ "$count" -eq 0 ] ||
  fail "Ctrl+wheel zoom: the plot differs from kurvana-cli's for y $ymin..$ymax in $count pixels"

echo "window_e2e: passed in $SECONDS s"
