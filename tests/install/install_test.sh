#!/usr/bin/env bash
# Installs the build into a temporary prefix, as the README does, and checks
# what a desktop sees of it: the exact file list, a desktop entry that
# validates, the MIME types of .kv1/.kv2 files, the icons.
#
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
source_dir="$(cd "$2" && pwd)"

# Physical path: the program names itself by its resolved path.
tmp="$(cd "$(mktemp -d)" && pwd -P)"
pid=""
# The README uninstalls through build/install_manifest.txt: running the tests
# must not replace the list of a real install with the temporary one.
manifest="$build/install_manifest.txt"
if [ -e "$manifest" ]; then cp -p "$manifest" "$tmp/manifest.saved"; fi
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  fi
  if [ -e "$tmp/manifest.saved" ]; then
    cp -p "$tmp/manifest.saved" "$manifest"
  else
    rm -f "$manifest"
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A space in the prefix exercises the quoting of Exec=.
prefix="$tmp/install root"
cmake --install "$build" --prefix "$prefix"

sizes=(16 22 24 32 48 64 128 256)
expected() {
  local size f
  printf '%s\n' bin/kurvana bin/kurvana-cli share/applications/kurvana.desktop \
    share/icons/hicolor/scalable/apps/kurvana.svg share/mime/packages/kurvana.xml
  for size in "${sizes[@]}"; do
    echo "share/icons/hicolor/${size}x${size}/apps/kurvana.png"
  done
  for f in "$source_dir"/assets/lang_*.txt; do
    echo "share/kurvana/${f##*/}"
  done
  # The window's catalogues beside the language files, one per .ts source.
  for f in "$source_dir"/translations/kurvana_*.ts; do
    f="${f##*/}"
    echo "share/kurvana/${f%.ts}.qm"
  done
}
expected | LC_ALL=C sort >"$tmp/expected"

# Exactly the expected files, and the manifest names nothing outside the prefix.
(cd "$prefix" && find . -type f -printf '%P\n' | LC_ALL=C sort) >"$tmp/tree"
diff -u "$tmp/expected" "$tmp/tree" || fail "installed files differ from the expected list"
sed "s|^|$prefix/|" "$tmp/expected" >"$tmp/expected.abs"
LC_ALL=C sort "$manifest" | diff -u "$tmp/expected.abs" - || fail "install manifest differs"
for program in kurvana kurvana-cli; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not executable"
done

# The desktop entry: valid without errors or warnings (hints are advice), and
# naming the binary where this install put it.
entry="$prefix/share/applications/kurvana.desktop"
report="$(desktop-file-validate "$entry" 2>&1)" || fail "desktop-file-validate: $report"
! grep -qE ": (error|warning): " <<<"$report" || fail "desktop-file-validate reports: $report"
exec_line="Exec=\"$prefix/bin/kurvana\" %f"
for line in "$exec_line" Type=Application Name=Kurvana Icon=kurvana Terminal=false \
  "Categories=Education;Math;" "MimeType=application/x-kurvana-kv1;application/x-kurvana-kv2;"; do
  grep -qxF -- "$line" "$entry" || fail "kurvana.desktop lacks the line: $line"
done

# A staged install (DESTDIR, as packages are built) names the final path.
DESTDIR="$tmp/stage" cmake --install "$build" --prefix /opt/kurvana >/dev/null
grep -qxF 'Exec="/opt/kurvana/bin/kurvana" %f' "$tmp/stage/opt/kurvana/share/applications/kurvana.desktop" ||
  fail "staged desktop entry: $(grep '^Exec=' "$tmp/stage/opt/kurvana/share/applications/kurvana.desktop")"
(cd "$tmp/stage/opt/kurvana" && find . -type f -printf '%P\n' | LC_ALL=C sort) |
  diff -u "$tmp/expected" - || fail "staged install differs"

# A prefix whose name holds a line end gets no desktop entry rather than one
# with a second Exec= key; everything else is installed.
DESTDIR="$tmp/stage-nl" cmake --install "$build" --prefix $'/opt/a\nExec=/bin/evil' >/dev/null 2>&1
[ -x "$tmp/stage-nl/opt/a"$'\n'"Exec=/bin/evil/bin/kurvana" ] || fail "a prefix with a line end was not installed"
! find "$tmp/stage-nl" -name kurvana.desktop | grep -q . || fail "a desktop entry was written for a prefix with a line end"

# The MIME types, as the desktop's generic way finds them: xdg-mime outside a
# session (env -i: no desktop variables) asks mimetype, which reads the
# databases of XDG_DATA_HOME (here empty) and XDG_DATA_DIRS.
XDG_DATA_DIRS="$prefix/share:/usr/share" update-mime-database "$prefix/share/mime"
mkdir -p "$tmp/files" "$tmp/home" "$tmp/data"
HOME="$tmp/home" "$prefix/bin/kurvana-cli" save-function --f 'F(x)=sin(x)' "$tmp/files/x.kv1" >/dev/null
HOME="$tmp/home" "$prefix/bin/kurvana-cli" save-function --two-functions \
  --f 'F(x)=cos(x)' --g 'G(x)=sin(x)' "$tmp/files/x.kv2" >/dev/null
cp "$tmp/files/x.kv2" "$tmp/files/UPPER.KV2"
filetype() {
  env -i PATH="$PATH" HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" XDG_DATA_DIRS="$1" \
    xdg-mime query filetype "$2"
}
check_type() {
  local got
  got="$(filetype "$prefix/share:/usr/share" "$1")" || fail "xdg-mime failed on ${1##*/}"
  [ "$got" = "$2" ] || fail "${1##*/}: xdg-mime says '$got', expected '$2'"
}
check_type "$tmp/files/x.kv1" application/x-kurvana-kv1
check_type "$tmp/files/x.kv2" application/x-kurvana-kv2
check_type "$tmp/files/UPPER.KV2" application/x-kurvana-kv2
# Without the prefix the type is unknown, so the answers above come from the
# installed definitions (unless this machine has Kurvana installed in /usr).
if [ ! -e /usr/share/mime/packages/kurvana.xml ]; then
  got="$(filetype /usr/share "$tmp/files/x.kv2")" || true
  [ "$got" != application/x-kurvana-kv2 ] || fail "the type is known without the prefix"
fi

# Icons: each PNG at its size with transparency; the SVG well-formed and the
# same picture as the window's icon (rendered at 256 pixels it differs from
# the painted one by about 1.3% RMSE; a missing curve makes it 16%).
for size in "${sizes[@]}"; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/kurvana.png"
  got="$(identify -format '%m %wx%h %A' "$png")"
  [ "$got" = "PNG ${size}x${size} True" ] || fail "${size}x${size} icon: $got"
done
svg="$prefix/share/icons/hicolor/scalable/apps/kurvana.svg"
xmllint --noout "$svg" || fail "kurvana.svg is not well-formed"
rsvg-convert -w 256 -h 256 "$svg" -o "$tmp/svg.png"
rmse="$(compare -metric RMSE "$tmp/svg.png" "$prefix/share/icons/hicolor/256x256/apps/kurvana.png" \
  null: 2>&1)" || [ $? -eq 1 ] || fail "compare: $rmse"
awk -v m="$rmse" 'BEGIN { if (!match(m, /\([0-9.e-]+\)/)) exit 1
  exit !(substr(m, RSTART + 1, RLENGTH - 2) + 0 < 0.04) }' ||
  fail "the SVG icon differs from the painted one: RMSE $rmse"

# The installed program registers itself per user at its first start: that
# entry names the same binary, its MIME types are the installed ones, and its
# icon is the installed 256-pixel PNG pixel for pixel. An empty PATH keeps it
# from starting the database refreshes, which would outlive it.
user="$tmp/user"
mkdir -p "$user/home" "$user/nobin" "$user/runtime"
chmod 700 "$user/runtime"
env -i PATH="$user/nobin" HOME="$user/home" XDG_RUNTIME_DIR="$user/runtime" \
  QT_QPA_PLATFORM=offscreen "$prefix/bin/kurvana" >"$user/log" 2>&1 &
pid=$!
share="$user/home/.local/share"
user_icon="$share/icons/hicolor/256x256/apps/kurvana.png"
for _ in $(seq 300); do
  [ ! -e "$user_icon" ] || break
  kill -0 "$pid" 2>/dev/null || fail "kurvana ended at start: $(cat "$user/log")"
  sleep 0.1
done
[ -e "$user_icon" ] || fail "kurvana wrote no icon within 30 s"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=""
diff <(grep "^Exec=" "$entry") <(grep "^Exec=" "$share/applications/kurvana.desktop") ||
  fail "the per-user entry names another program"
diff <(grep -o 'type="[^"]*"' "$prefix/share/mime/packages/kurvana.xml") \
  <(cat "$share"/mime/packages/kurvana-kv[12].xml | grep -o 'type="[^"]*"') ||
  fail "the per-user MIME types differ from the installed ones"
differing="$(compare -metric AE "$user_icon" "$prefix/share/icons/hicolor/256x256/apps/kurvana.png" \
  null: 2>&1)" || [ $? -eq 1 ] || fail "compare: $differing"
[ "$differing" = 0 ] || fail "$differing pixels differ between the window's icon and the installed one"

echo "install test passed"
