#!/usr/bin/env bash
# End to end on a screen of device scale SCALE (QT_SCALE_FACTOR, 2 unless
# given): the window's plot, captured in device pixels, equals kurvana-cli
# draw --scale SCALE pixel for pixel after start-up, after typing a formula,
# after a wheel zoom and after a pan drag by device pixels.
#   scaled_window_e2e.sh KURVANA KURVANA_CLI [SCALE]
# Needs Xvfb, xdotool and ImageMagick (scripts/deps.sh installs them).
set -euo pipefail
set -o errtrace

fail() {
  echo "scaled_window_e2e: FAIL: $*" >&2
  if [ -n "${work-}" ] && [ -s "$work/kurvana.log" ]; then
    sed 's/^/  kurvana: /' "$work/kurvana.log" >&2
  fi
  keep=true
  exit 1
}
trap 'fail "unexpected failure of: $BASH_COMMAND (line $LINENO)"' ERR

[ $# -eq 2 ] || [ $# -eq 3 ] ||
  { echo "usage: scaled_window_e2e.sh KURVANA KURVANA_CLI [SCALE]" >&2; exit 2; }
kurvana="$(realpath "$1")"
cli="$(realpath "$2")"
[ -x "$kurvana" ] || fail "no program at $kurvana"
[ -x "$cli" ] || fail "no program at $cli"
for tool in Xvfb xdotool import compare awk; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

export LC_ALL=C.UTF-8
formula='F(x)=sin(x)*x/3'
size=824x668   # the plot image of a 1024 x 768 window, in window pixels
scale="${3:-2}"
# Window pixels N as device pixels: round half to even, as the program does.
px() { awk -v n="$1" -v s="$scale" 'BEGIN {
  v = n * s; f = int(v); d = v - f
  if (d > 0.5 || (d == 0.5 && f % 2 == 1)) f++
  print f }'; }
device="$(px 824)x$(px 668)"

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual_screen.sh"
. "$(dirname "${BASH_SOURCE[0]}")/pointer_and_windows.sh"
work="$(mktemp -d)"
keep=false
xvfb_pid=
program_pid=
cleanup() {
  end_processes $program_pid $xvfb_pid
  if $keep; then echo "scaled_window_e2e: screenshots and files kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

# A screen of 1920 x 1080 window pixels at scale 2.
start_virtual_screen "$work" "$(px 1920)x$(px 1080)"

status=0
"$cli" draw --f 'F(x)=' --size "$size" --scale "$scale" -o "$work/expected-start.bmp" >/dev/null \
  2>/dev/null || status=$?
[ "$status" -eq 1 ] && [ -s "$work/expected-start.bmp" ] ||
  fail "kurvana-cli could not draw the start-up plot at scale $scale (status $status)"
"$cli" draw --f "$formula" --size "$size" --scale "$scale" -o "$work/expected-typed.bmp" >/dev/null ||
  fail "kurvana-cli could not draw $formula at scale $scale"

virtual_screen_ready "$work" || fail "$screen_problem"

home="$work/home"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"

env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  QT_SCALE_FACTOR="$scale" "$kurvana" >>"$work/kurvana.log" 2>&1 &
program_pid=$!
started=$SECONDS
# The 1024 x 768 window in device pixels.
found=
while [ -z "$found" ]; do
  running "$program_pid" || fail "kurvana ended before its main window appeared"
  [ $((SECONDS - started)) -lt 20 ] || fail "no $(px 1024)x$(px 768) Kurvana window within 20 s"
  find_window "$(px 1024)" "$(px 768)"
  [ -n "$found" ] || sleep 0.1
done
wx="$(sed -n 's/^X=//p' <<<"$found")"
wy="$(sed -n 's/^Y=//p' <<<"$found")"

# The plot image at window pixel (8, 40), in device pixels.
plot_crop="$device+$((wx + $(px 8)))+$((wy + $(px 40)))"
plot_x=$((wx + $(px 420)))
plot_y=$((wy + $(px 374)))
away_x=$((wx + $(px 924)))
away_y=$((wy + $(px 600)))

shot=0
capture() {
  shot=$((shot + 1))
  current="$work/${2:-plot}$shot.png"
  import -silent -window root -crop "${1:-$plot_crop}" +repage "$current" || fail "screenshot failed"
}

differing() {
  local out status=0
  out="$(compare -metric AE "$1" "$2" null: 2>&1)" || status=$?
  [ "$status" -le 1 ] && [[ "$out" =~ ^[0-9]+ ]] || fail "compare could not compare $1 with $2: $out"
  count="${BASH_REMATCH[0]}"
}

# Waits until the plot equals PICTURE pixel for pixel; the wait ends on the
# picture, or fails after 10 s.
wait_for_plot() {
  local deadline=$((SECONDS + 10))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $2"
    capture
    differing "$current" "$1"
    [ "$count" -eq 0 ] && return 0
    [ $SECONDS -lt $deadline ] ||
      fail "$2: the plot differs from $(basename "$1") in $count pixels (screenshot $current)"
    sleep 0.1
  done
}

# Waits until the plot differs from BEFORE and then holds still for two looks.
wait_for_change() {
  local before="$1" last= held=0 deadline=$((SECONDS + 10))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $2"
    capture
    differing "$current" "$before"
    if [ "$count" -ne 0 ]; then
      if [ -n "$last" ]; then
        differing "$current" "$last"
        if [ "$count" -eq 0 ]; then held=$((held + 1)); else held=0; fi
      fi
      [ "$held" -ge 2 ] && return 0
      last="$current"
    fi
    [ $SECONDS -lt $deadline ] || fail "$2: the plot did not change, or kept changing, for 10 s"
    sleep 0.1
  done
}

wait_for_plot "$work/expected-start.bmp" "first plot after start-up at scale $scale"

# --- Typing a formula and Enter: the formula field at window pixel (210, 738). ---
xdotool mousemove --sync $((wx + $(px 210))) $((wy + $(px 738))) click 1
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 10 "$formula"
xdotool key Return
xdotool mousemove --sync "$away_x" "$away_y"
wait_for_plot "$work/expected-typed.bmp" "Draw by Enter of $formula at scale $scale"
typed="$current"

# --- The wheel over the window zooms x in: 0 .. 10 becomes 0 .. 5. ---
"$cli" draw --f "$formula" --x-max 5 --size "$size" --scale "$scale" \
  -o "$work/expected-zoomed.bmp" >/dev/null || fail "kurvana-cli could not draw the zoomed plot"
xdotool click 4
wait_for_plot "$work/expected-zoomed.bmp" "wheel zoom at scale $scale"
zoomed="$current"

# --- A pan drag of 100 device pixels to the right, in one step, over a plot
# of W device columns moves x by 100/W of its range (divisors W, not W - 1):
# at scale 2, W = 1568 and 0 .. 5 becomes -0.318878 .. 4.68112 as the fields
# show it; the release draws the plot anew there. ---
plot_w=$(($(px 824) - 2 * $(px 20)))
read -r pan_min pan_max < <(awk -v w="$plot_w" 'BEGIN { d = 100 * 5 / w; printf "%.6g %.6g\n", -d, 5 - d }')
xdotool mousemove --sync "$plot_x" "$plot_y" mousedown 1
xdotool mousemove --sync $((plot_x + 100)) "$plot_y"
wait_for_change "$zoomed" "pan preview at scale $scale"
xdotool mouseup 1
xdotool mousemove --sync "$away_x" "$away_y"
"$cli" draw --f "$formula" --x-min "$pan_min" --x-max "$pan_max" --size "$size" --scale "$scale" \
  -o "$work/expected-panned.bmp" >/dev/null || fail "kurvana-cli could not draw the panned plot"
wait_for_plot "$work/expected-panned.bmp" "pan drag at scale $scale"

echo "scaled_window_e2e: passed in $SECONDS s"
