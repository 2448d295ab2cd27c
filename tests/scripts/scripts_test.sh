#!/usr/bin/env bash
# The set-up scripts' helpers: echoed command lines paste back into a shell,
# and installing packages writes its progress to stderr only.
#   scripts_test.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
. "$source_dir/scripts/deps.sh"

fail() {
  echo "scripts_test: FAIL: $*" >&2
  exit 1
}

# --- shell_words: eval of the line gives the same words back. ---
words=(eval --general 'F(x)=sin(x)^2+cos(x)/2' 0 "it's" '' 'a b' '$HOME' '"q"' 'back\slash' '*' 'x;y')
line="$(shell_words "${words[@]}")"
eval "back=($line)"
[ "${#back[@]}" -eq "${#words[@]}" ] || fail "shell_words: ${#back[@]} words back from: $line"
for i in "${!words[@]}"; do
  [ "${back[$i]}" = "${words[$i]}" ] || fail "shell_words: word $i came back as '${back[$i]}' from: $line"
done
[ "$(shell_words eval 0.5 -1e-3)" = "eval 0.5 -1e-3" ] || fail "plain words are quoted"

# --- ensure_packages: package manager output never reaches stdout. ---
stub="$(mktemp -d)"
trap 'rm -rf "$stub"' EXIT
cat >"$stub/dpkg-query" <<'STUB'
#!/bin/sh
exit 1
STUB
cat >"$stub/apt-get" <<'STUB'
#!/bin/sh
echo "apt-get progress on stdout: $*"
echo "apt-get notes on stderr: $*" >&2
STUB
cat >"$stub/sudo" <<'STUB'
#!/bin/sh
exec "$@"
STUB
chmod +x "$stub"/*
PATH="$stub:$PATH" ensure_packages kurvana-test-package >"$stub/out" 2>"$stub/err"
[ ! -s "$stub/out" ] || fail "ensure_packages wrote to stdout: $(head -c 200 "$stub/out")"
grep -q 'progress on stdout: install' "$stub/err" || fail "the install's progress did not reach stderr"
grep -q 'Installing: kurvana-test-package' "$stub/err" || fail "the packages installed were not named"
echo "scripts_test: ok"
