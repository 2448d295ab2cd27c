#!/usr/bin/env bash
# End to end: the real window on a private virtual screen, driven as a user
# drives it, checked against kurvana-cli's pictures and the files it leaves;
# then two more starts in the same home: polar coordinates and German chosen
# in the settings dialog, and German again after a restart.
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

. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/virtual_screen.sh"
. "$(dirname "${BASH_SOURCE[0]}")/pointer_and_windows.sh"
work="$(mktemp -d)"
keep=false
xvfb_pid=
program_pid=
cleanup() {
  end_processes $program_pid $xvfb_pid
  # What a failure leaves (screenshots, the program's files) is kept to look at.
  if $keep; then echo "window_e2e: screenshots and files kept in $work" >&2; else rm -rf "$work"; fi
}
trap cleanup EXIT

# --- A private screen. ---
start_virtual_screen "$work"

# The expected pictures, made while the server starts.
# A first start draws nothing behind the bare label: kurvana-cli still saves
# the empty plot and says so with status 1.
status=0
"$cli" draw --f 'F(x)=' --size "$size" -o "$work/expected-start.bmp" >/dev/null \
  2>"$work/cli-start.err" || status=$?
[ "$status" -eq 1 ] && grep -q 'nothing drawn' "$work/cli-start.err" && [ -s "$work/expected-start.bmp" ] ||
  fail "kurvana-cli could not draw the start-up plot (status $status): $(head -c 200 "$work/cli-start.err")"
"$cli" draw --f "$formula" --size "$size" -o "$work/expected-typed.bmp" >/dev/null ||
  fail "kurvana-cli could not draw $formula"

virtual_screen_ready "$work" || fail "$screen_problem"

# --- The program, with a home of its own. ---
home="$work/home"
data="$home/Documents/Talvoren/Kurvana"
mkdir -p "$home" "$work/runtime"
chmod 700 "$work/runtime"

# Starts the program in its own home (every start the same one) and waits for
# its main window; sets $wx, $wy.
start_program() {
  env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
    HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
    "$kurvana" >>"$work/kurvana.log" 2>&1 &
  program_pid=$!
  local started=$SECONDS
  # The splash (417 x 260) comes first, the 1024 x 768 main window 2.5 s later.
  found=
  while [ -z "$found" ]; do
    running "$program_pid" || fail "$1: kurvana ended before its main window appeared"
    [ $((SECONDS - started)) -lt 20 ] || fail "$1: no 1024x768 Kurvana window within 20 s"
    find_window 1024 768
    [ -n "$found" ] || sleep 0.1
  done
  wx="$(sed -n 's/^X=//p' <<<"$found")"
  wy="$(sed -n 's/^Y=//p' <<<"$found")"
  [ "$wx,$wy" = "448,156" ] || fail "$1: the main window is at $wx,$wy, not centred at 448,156"
}

# The close caption button ends the program, with status 0.
close_program() {
  pointer_to $((wx + 1024 - 44 + 16)) $((wy + 4 + 12))
  xdotool click 1
  local deadline=$((SECONDS + 10)) status=0
  while running "$program_pid"; do
    [ $SECONDS -lt $deadline ] || fail "$1: kurvana still runs 10 s after its close button was clicked"
    sleep 0.1
  done
  wait "$program_pid" || status=$?
  program_pid=
  [ "$status" -eq 0 ] || fail "$1: kurvana ended with status $status"
}

start_program "first start"

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
# Saves the screen's CROP (the plot unless given) in a new file, NAME<n>.png,
# named in $current.
capture() {
  shot=$((shot + 1))
  current="$work/${2:-plot}$shot.png"
  import -silent -window root -crop "${1:-$plot_crop}" +repage "$current" || fail "screenshot failed"
}
capture_plot() { capture "$plot_crop" plot; }

# Sets $count to the number of pixels in which two pictures of one size differ.
differing() {
  local out status=0
  out="$(compare -metric AE "$1" "$2" null: 2>&1)" || status=$?
  [ "$status" -le 1 ] && [[ "$out" =~ ^[0-9]+ ]] || fail "compare could not compare $1 with $2: $out"
  count="${BASH_REMATCH[0]}"
}

# Waits until the screen's CROP (the plot unless given) equals PICTURE pixel
# for pixel.
wait_for_same() {
  local picture="$1" what="$2" crop="${3:-$plot_crop}" name="${4:-plot}" deadline=$((SECONDS + 10))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $what"
    capture "$crop" "$name"
    differing "$current" "$picture"
    [ "$count" -eq 0 ] && return 0
    [ $SECONDS -lt $deadline ] ||
      fail "$what: the $name differs from $(basename "$picture") in $count pixels (screenshot $current)"
    sleep 0.1
  done
}

# Waits until the plot equals kurvana-cli's PICTURE pixel for pixel.
wait_for_plot() { wait_for_same "$1" "$2"; }

# Captures the screen's CROP as NAME until it differs from BEFORE (when one
# is given) and then holds still for two more looks (a pan preview, a pending
# repaint or a window just mapped does not); the file is named in $current.
settle() {
  local before="$1" what="$2" crop="$3" name="$4" seconds="$5" last= held=0
  local deadline=$((SECONDS + seconds))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $what"
    capture "$crop" "$name"
    count=1
    [ -z "$before" ] || differing "$current" "$before"
    if [ "$count" -ne 0 ]; then
      if [ -n "$last" ]; then
        differing "$current" "$last"
        if [ "$count" -eq 0 ]; then held=$((held + 1)); else held=0; fi
      fi
      [ "$held" -ge 2 ] && return 0
      last="$current"
    fi
    if [ $SECONDS -ge $deadline ]; then
      [ -n "$before" ] || fail "$what: the $name kept changing for $seconds s"
      fail "$what: the $name did not change, or kept changing, for $seconds s"
    fi
    sleep 0.1
  done
}

# wait_for_change BEFORE WHAT [CROP NAME]: the plot unless CROP is given.
wait_for_change() { settle "$1" "$2" "${3:-$plot_crop}" "${4:-plot}" 10; }

# wait_for_still CROP NAME WHAT
wait_for_still() { settle "" "$3" "$1" "$2" 5; }

# Waits up to 5 s for the program's visible window of W x H (H a pattern)
# to be "shown", or to be "gone".
wait_for_window() {
  local deadline=$((SECONDS + 5))
  while :; do
    running "$program_pid" || fail "kurvana ended while waiting for $4"
    find_window "$1" "$2"
    if [ "$3" = shown ]; then [ -n "$found" ] && return 0; else [ -z "$found" ] && return 0; fi
    [ $SECONDS -lt $deadline ] || fail "$4: still not $3 after 5 s"
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
close_program "first start"

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

# --- A second start in the same home: the history's newest formula and the
# recorded ranges fill the fields, so every plot below is known exactly. ---
"$cli" draw --polar --f "$formula" --x-min "$xmin" --x-max "$xmax" --y-min "$ymin" --y-max "$ymax" \
  --size "$size" -o "$work/expected-polar.bmp" >/dev/null || fail "kurvana-cli could not draw the polar plot"
# Kurvana.lng naming German: UTF-16 LE with its mark, one line, CR LF.
printf '\xff\xfeD\0e\0u\0t\0s\0c\0h\0\r\0\n\0' >"$work/expected.lng"

start_program "second start"
wait_for_plot "$work/expected-zoomed-y.bmp" "first plot after a restart"

# The " Automatic scale" caption of the panel, in English.
caption_crop="142x22+$((wx + 1024 - 139))+$((wy + 313))"
wait_for_still "$caption_crop" caption "the English Automatic scale caption"
english_caption="$current"

dialog_x=$((wx + (1024 - 518) / 2))
dialog_y=$((wy + (768 - 368) / 2))
dialog_crop="518x368+$dialog_x+$dialog_y"

# The settings button opens the dialog, centred on the main window.
open_settings() {
  pointer_to $((wx + 835 + 25)) $((wy + 768 - 55 + 25))
  xdotool click 1
  wait_for_window 518 368 shown "$1: the 518x368 settings dialog"
  local x y
  x="$(sed -n 's/^X=//p' <<<"$found")"
  y="$(sed -n 's/^Y=//p' <<<"$found")"
  [ "$x,$y" = "$dialog_x,$dialog_y" ] ||
    fail "$1: the settings dialog is at $x,$y, not centred on the main window at $dialog_x,$dialog_y"
  wait_for_still "$dialog_crop" dialog "$1"
}

# A click on the toggle picture at dialog point (LEFT, TOP) must flip it.
flip_option() {
  local crop="25x25+$((dialog_x + $1))+$((dialog_y + $2))" before
  capture "$crop" option
  before="$current"
  pointer_to $((dialog_x + $1 + 12)) $((dialog_y + $2 + 12))
  xdotool click 1
  wait_for_change "$before" "$3" "$crop" option
}

# OK hides the dialog; the pointer then leaves the plot under it.
press_ok() {
  pointer_to $((dialog_x + 234 + 25)) $((dialog_y + 285 + 25))
  xdotool click 1
  pointer_to "$away_x" "$away_y"
  wait_for_window 518 368 gone "$1: the settings dialog after OK"
}

# The language choice on disk must be German, byte for byte.
check_language_file() {
  cmp -s "$work/expected.lng" "$data/Kurvana.lng" && return 0
  fail "$1: Kurvana.lng is not FF FE 'Deutsch' CR LF in UTF-16 LE but:" \
    "$(od -An -v -t x1 "$data/Kurvana.lng" 2>&1 | tr -s ' \n' ' ')"
}

# --- Settings: polar coordinates, OK. ---
open_settings "first settings dialog"
flip_option 286 54 "Polar coordinates flipped by its picture"
press_ok "polar coordinates"
wait_for_plot "$work/expected-polar.bmp" "OK with polar coordinates"
capture "$caption_crop" caption
differing "$current" "$english_caption"
[ "$count" -eq 0 ] || fail "OK without a language changed the Automatic scale caption ($current)"

# --- Settings: program language German, OK. ---
open_settings "second settings dialog"
flip_option 286 214 "Program language flipped by its picture"
# The list drops down over the dialog; Down moves from English to the first
# translation by file name (lang_de.txt), Return takes it.
pointer_to $((dialog_x + 286 + 96)) $((dialog_y + 250 + 12))
xdotool click 1
wait_for_window 192 '[0-9]*' shown "the language list dropped down"
xdotool key Down Return
wait_for_window 192 '[0-9]*' gone "the language list after Return"
press_ok "German"
wait_for_change "$english_caption" "German captions after OK" "$caption_crop" caption
german_caption="$current"
check_language_file "OK with German"
wait_for_plot "$work/expected-polar.bmp" "redraw after OK with German"
close_program "second start"
check_language_file "closing after German was chosen"
# Both options are on (11) in the record the next start reads.
for flag in "56 Program language" "87 Polar coordinates"; do
  value="$(od -An -v -t u1 -j "${flag%% *}" -N 1 "$record" | tr -d ' ')"
  [ "$value" = 11 ] || fail "the settings record holds ${flag#* } as $value, not on (11)"
done

# --- A third start: German again, and still polar coordinates. ---
start_program "third start"
wait_for_plot "$work/expected-polar.bmp" "first plot after choosing polar coordinates and German"
wait_for_same "$german_caption" "German captions after a restart" "$caption_crop" caption
check_language_file "a restart"
close_program "third start"
check_language_file "closing the third start"

echo "window_e2e: passed in $SECONDS s"
