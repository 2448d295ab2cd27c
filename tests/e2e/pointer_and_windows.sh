# Shell functions the window end-to-end tests share; sourced. They call the
# sourcing script's `fail` and read its $program_pid.

# Moves the pointer to the screen point X, Y and waits until it is there.
# `mousemove --sync` to where the pointer already is waits 15 s for a motion
# that never comes, so that case is left out.
pointer_to() {
  local at
  at="$(xdotool getmouselocation --shell)" || fail "xdotool could not find the pointer"
  grep -qx "X=$1" <<<"$at" && grep -qx "Y=$2" <<<"$at" && return 0
  xdotool mousemove --sync "$1" "$2"
}

# Sets $found to the xdotool geometry of the program's visible window of size
# W x H (grep patterns), or empty. By process: a drop-down list has no WM_NAME.
find_window() {
  local id geometry
  found=
  for id in $(xdotool search --onlyvisible --pid "$program_pid" 2>/dev/null || true); do
    geometry="$(xdotool getwindowgeometry --shell "$id" 2>/dev/null || true)"
    if grep -qx "WIDTH=$1" <<<"$geometry" && grep -qx "HEIGHT=$2" <<<"$geometry"; then
      found="$geometry"
    fi
  done
}
