#!/usr/bin/env bash
# Runs idle_probe against a fresh window on a private virtual screen (no
# window manager, or --wm openbox): untouched for 12 s, then counted for
# 10 s; then a key typed into the focused field and the next 3 s counted,
# when the caret blinks again.
#   bench/outside/idle_probe.sh BUILD [--wm openbox]
set -euo pipefail
[ $# -ge 1 ] || { echo "usage: idle_probe.sh BUILD [--wm openbox]" >&2; exit 2; }
build="$(realpath "$1")"
wm=
[ "${2-}" = --wm ] && wm="$3"
for tool in "$build/kurvana" "$build/bench/idle_probe"; do
  [ -x "$tool" ] || { echo "idle_probe.sh: no $tool" >&2; exit 1; }
done
. "$(dirname "${BASH_SOURCE[0]}")/resize_probe.sh"
trap end_session EXIT
start_session "$build/kurvana" 1920x1080 "$wm"
"$build/bench/idle_probe" --pid "$program_pid" --wait 12 --measure 10
xdotool key End
echo "after a key:"
"$build/bench/idle_probe" --pid "$program_pid" --wait 0 --measure 3
