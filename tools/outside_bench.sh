#!/usr/bin/env bash
# The window timed from outside its process, as a user meets it: start-up to
# the first plot on the screen (beside a minimal Qt window's first paint) and
# pointer moves to the ring and readouts repainted, at 1024 x 768 and at the
# largest size, 2240 x 1440. Each on a fresh 2560 x 1600 Xvfb, once bare and
# once with openbox managing it; a table of the medians at the end.
#   outside_bench.sh [RUNS [MOVES]]     (10 starts, 200 moves unless given)
# Builds in build-release (Release, benchmarks on) unless KURVANA_BUILD_DIR
# names another build folder.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
. "$root/scripts/virtual_screen.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" "${KURVANA_BENCH_PACKAGES[@]}" \
  "${KURVANA_SCREEN_PACKAGES[@]}" openbox x11-utils
runs="${1:-10}"
moves="${2:-200}"
build="${KURVANA_BUILD_DIR:-$root/build-release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKURVANA_BENCH=ON \
  -DKURVANA_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target kurvana start_probe pointer_probe minimal_window >/dev/null

work="$(mktemp -d)"
xvfb_pid=
openbox_pid=
trap 'end_processes $openbox_pid $xvfb_pid; rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, load $(uptime | sed 's/.*load average: //')"

# Starts a fresh screen in folder $1, with openbox when $2 is "openbox".
start_screen() {
  mkdir -p "$1"
  start_virtual_screen "$1" 2560x1600
  virtual_screen_ready "$1" || { echo "$screen_problem" >&2; exit 1; }
  openbox_pid=
  [ "$2" = openbox ] || return 0
  openbox --sm-disable >"$1/openbox.log" 2>&1 &
  openbox_pid=$!
  local deadline=$((SECONDS + 20))
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    running "$openbox_pid" || { echo "openbox did not start" >&2; exit 1; }
    [ $SECONDS -lt $deadline ] || { echo "openbox did not take the screen in 20 s" >&2; exit 1; }
    sleep 0.1
  done
}

modes=(bare openbox)
sizes=(1024x768 2240x1440)
for mode in "${modes[@]}"; do
  for size in "${sizes[@]}"; do
    folder="$work/$mode-$size"
    # A fresh server for each, so that no probe inherits another's state.
    start_screen "$folder" "$mode"
    echo
    echo "== $mode Xvfb, window $size =="
    "$build/bench/start_probe" --runs "$runs" --size "$size" --minimal "$build/bench/minimal_window" \
      --server-pid "$xvfb_pid" "$build/kurvana" | tee "$folder/start.txt"
    "$build/bench/pointer_probe" --moves "$moves" --size "$size" --server-pid "$xvfb_pid" \
      "$build/kurvana" | tee "$folder/pointer.txt"
    end_processes $openbox_pid $xvfb_pid
    openbox_pid=
    xvfb_pid=
  done
done

# The medians side by side: one column per mode and size.
echo
echo "== medians (ms unless a ratio) =="
{
  printf 'measure'
  for mode in "${modes[@]}"; do for size in "${sizes[@]}"; do printf '\t%s %s' "$mode" "$size"; done; done
  echo
  first="$work/${modes[0]}-${sizes[0]}"
  cat "$first/start.txt" "$first/pointer.txt" | grep '^  [a-zA-Z]' | sed 's/^  //; s/  \+.*//' |
    while IFS= read -r name; do
      printf '%s' "$name"
      for mode in "${modes[@]}"; do
        for size in "${sizes[@]}"; do
          value="$(cat "$work/$mode-$size/start.txt" "$work/$mode-$size/pointer.txt" |
            grep -F "  $name " | head -n 1 | sed "s/^  .\{44\} //; s/ .*//" || true)"
          printf '\t%s' "${value:--}"
        done
      done
      echo
    done
} | column -t -s $'\t'
