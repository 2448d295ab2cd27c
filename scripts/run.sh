#!/usr/bin/env bash
# Builds Kurvana and opens its window: scripts/run.sh [FILE]
# FILE (a .kv1 or .kv2 function file) is passed to the program.
# scripts/run.sh --cli [ARGS...] runs kurvana-cli instead (without ARGS it
# evaluates a sample formula).
#
# Without a display (no DISPLAY, no WAYLAND_DISPLAY) the window runs on a
# virtual screen until its first plot is drawn, a screenshot of that screen is
# saved to ./kurvana-screenshot.png, and the program is ended.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"

usage() {
  echo "usage: scripts/run.sh [FILE]          open the window (FILE: a .kv1 or .kv2 function file)" >&2
  echo "       scripts/run.sh --cli [ARGS...]  run kurvana-cli" >&2
  exit 2
}

cli=false
if [ "${1-}" = --cli ]; then
  cli=true
  shift
elif [ $# -gt 1 ]; then
  usage
elif [ $# -eq 1 ]; then
  case "$1" in
    -h | --help) usage ;;
    eval | draw | save-function)
      # A kurvana-cli command typed without --cli, unless a file of that name exists.
      [ -e "$1" ] || usage ;;
  esac
fi

headless=false
if ! $cli && [ -z "${DISPLAY-}" ] && [ -z "${WAYLAND_DISPLAY-}" ]; then headless=true; fi

ensure_packages "${KURVANA_BUILD_PACKAGES[@]}"
if $headless; then ensure_packages "${KURVANA_SCREEN_PACKAGES[@]}"; fi

build="$root/build-run"
# The build is quiet unless it fails; then its whole output is shown.
mkdir -p "$build"
log="$build/run-build.log"
if ! { cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
         -DKURVANA_TESTS=OFF -DKURVANA_BENCH=OFF &&
       cmake --build "$build"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "run.sh: the build failed (log: $log)" >&2
  exit 1
fi

if $cli; then
  if [ $# -eq 0 ]; then
    set -- eval --general 'F(x)=sin(x)^2+cos(x)/2' 0 0.5 1 2
    # Quoted so that the line can be pasted back into a shell.
    echo "kurvana-cli $(shell_words "$@")" >&2
  fi
  exec "$build/kurvana-cli" "$@"
fi

if ! $headless; then
  exec "$build/kurvana" "$@"
fi

# --- No display: a virtual screen, a temporary home, one screenshot. ---
screenshot="$PWD/kurvana-screenshot.png"
sample='F(x)=sin(x)*x/3'
if [ $# -eq 1 ]; then
  echo "No display found: running Kurvana with $1 on a virtual screen (Xvfb 1920x1080) to save a screenshot." >&2
else
  echo "No display found: running Kurvana on a virtual screen (Xvfb 1920x1080), history holding $sample, to save a screenshot." >&2
fi

. "$root/scripts/virtual_screen.sh"
work="$(mktemp -d)"
xvfb_pid=
program_pid=
cleanup() {
  end_processes $program_pid $xvfb_pid
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "run.sh: $*" >&2
  if [ -s "$work/kurvana.log" ]; then sed 's/^/  kurvana: /' "$work/kurvana.log" >&2; fi
  exit 1
}

start_virtual_screen "$work"
virtual_screen_ready "$work" || fail "$screen_problem"

# The user's own settings, history and desktop registration stay untouched.
home="$work/home"
data="$home/Documents/Talvoren/Kurvana"
mkdir -p "$data" "$work/runtime"
chmod 700 "$work/runtime"
if [ $# -eq 0 ]; then
  # The newest history formula fills the formula field at start: 10 CR LF lines.
  { printf '%s\r\n' "$sample"; printf '\r\n%.0s' {1..9}; } >"$data/Kurvana.lst"
fi
env -u WAYLAND_DISPLAY -u DBUS_SESSION_BUS_ADDRESS -u XDG_CURRENT_DESKTOP \
  HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
  "$build/kurvana" "$@" >"$work/kurvana.log" 2>&1 &
program_pid=$!

# The splash comes first; the main window follows after 2.5 s (0.5 s with FILE)
# and writes the settings record of the data folder before it shows.
main=
for _ in $(seq 200); do
  running "$program_pid" || fail "kurvana ended before its main window appeared"
  if [ -f "$data/Kurvana.ini" ]; then
    for id in $(xdotool search --onlyvisible --name '^Kurvana$' 2>/dev/null || true); do
      geometry="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null || true)"
      if grep -qx 'WIDTH=1024' <<<"$geometry" && grep -qx 'HEIGHT=768' <<<"$geometry"; then
        main="$geometry"
      fi
    done
  fi
  [ -n "$main" ] && break
  sleep 0.1
done
if [ -z "$main" ]; then
  # A message box of the start-up (an unreadable FILE, say) waits for OK.
  import -silent -window root "$screenshot" || true
  fail "the 1024x768 main window did not appear within 20 s; the screen is in $screenshot"
fi
x="$(sed -n 's/^X=//p' <<<"$main")"
y="$(sed -n 's/^Y=//p' <<<"$main")"

# The first Draw follows within the 100 ms start-up timer: wait until the plot
# (824 x 668 at (8, 40)) stays the same between two looks.
crop="824x668+$((x + 8))+$((y + 40))"
previous=
stable=false
for i in $(seq 50); do
  sleep 0.2
  import -silent -window root -crop "$crop" +repage "$work/plot$i.bmp" ||
    fail "could not take a screenshot"
  if [ -n "$previous" ] && compare -metric AE "$previous" "$work/plot$i.bmp" null: 2>/dev/null; then
    stable=true
    break
  fi
  previous="$work/plot$i.bmp"
done
$stable || fail "the plot was still changing after 10 s"
running "$program_pid" || fail "kurvana ended before the screenshot"
import -silent -window root "$screenshot" || fail "could not save $screenshot"
echo "Screenshot: $screenshot"
