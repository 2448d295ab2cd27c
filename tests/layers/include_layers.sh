#!/usr/bin/env bash
# Fails on an #include that runs against the order of the layers: every
# folder of src/ may include its own headers and those of the layers below
# it, nothing above or beside it. The core (everything below app) includes
# no Qt header either.
#
# Usage: include_layers.sh SRC_DIR
set -euo pipefail

src="${1:?usage: include_layers.sh SRC_DIR}"

# The folders each folder may include from, itself included.
declare -A allowed=(
  [base]="base"
  [engine]="base engine"
  [plot]="base engine plot"
  [render]="base engine plot render"
  [explore]="base engine plot render explore"
  [files]="base engine plot render files"
  [app]="base engine plot render explore files app"
  [cli]="base engine plot render explore files app cli"
  [ui]="base engine plot render explore files app ui"
)
core="base engine plot render explore files"

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]+)[">]'
qt_re='^Q[A-Za-z]*(/|$)'

status=0
found=0
for dir in "$src"/*/; do
  folder="$(basename "$dir")"
  if [[ -z "${allowed[$folder]+set}" ]]; then
    echo "src/$folder: a folder of no known layer; add it to $(basename "$0")"
    status=1
    continue
  fi
  while IFS= read -r -d '' file; do
    found=1
    lineno=0
    while IFS= read -r line || [[ -n "$line" ]]; do
      lineno=$((lineno + 1))
      [[ "$line" =~ $include_re ]] || continue
      kind="${BASH_REMATCH[1]}"
      target="${BASH_REMATCH[2]}"
      where="${file#"$src"/}:$lineno"
      if [[ "$kind" == "<" ]]; then
        if [[ " $core " == *" $folder "* && "$target" =~ $qt_re ]]; then
          echo "src/$where: the core includes Qt: <$target>"
          status=1
        fi
        continue
      fi
      [[ "$target" == */* ]] || continue  # a header beside the file
      layer="${target%%/*}"
      if [[ " ${allowed[$folder]} " != *" $layer "* ]]; then
        echo "src/$where: $folder may not include \"$target\" (it may use: ${allowed[$folder]})"
        status=1
      fi
    done <"$file"
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \) -print0)
done

if [[ $found -eq 0 ]]; then
  echo "no sources under $src"
  exit 1
fi
exit $status
