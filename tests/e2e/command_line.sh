#!/usr/bin/env bash
# The real window program's command line where no display is: --help and
# --version answer on standard output, a wrong option is a usage error, and
# a start without a display says so instead of aborting.
#
#   command_line.sh KURVANA
set -uo pipefail
kurvana="$1"
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
run() {  # stdout, stderr and status of the program without any display
  out="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$kurvana" "$@" 2>"$err_file")"
  status=$?
  err="$(cat "$err_file")"
}
err_file="$(mktemp)"
trap 'rm -f "$err_file"' EXIT

run --help
[ "$status" = 0 ] || fail "--help exits with $status: $err"
[ "${out%%$'\n'*}" = "usage: kurvana [FILE]" ] || fail "--help prints: $out"
[ -z "$err" ] || fail "--help writes to stderr: $err"
run -h
[ "$status" = 0 ] && [ "${out%%$'\n'*}" = "usage: kurvana [FILE]" ] || fail "-h: $status $out"
run --version
[ "$status" = 0 ] && [ "$out" = "Kurvana 1.0" ] || fail "--version: $status '$out' '$err'"
run --bogus
[ "$status" = 2 ] || fail "an unknown option exits with $status"
[ "${err%%$'\n'*}" = "kurvana: unknown option: --bogus" ] || fail "unknown option says: $err"
[ -z "$out" ] || fail "a usage error writes to stdout: $out"
run -- -plot.kv1
[ "$status" = 1 ] || fail "a start without a display exits with $status: $err"
[ "$err" = "kurvana: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set); kurvana-cli draws pictures without one." ] ||
  fail "a start without a display says: $err"
echo "command line test passed"
