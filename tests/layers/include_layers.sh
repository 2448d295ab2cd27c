#!/usr/bin/env bash
# Fails on an #include that runs against the order of the layers: every
# folder of src/ may include its own headers and those of the layers below
# it, nothing above or beside it. The core (everything below app) includes
# no Qt header either.
#
# With --tests the same holds for the folders of tests/, whose headers share
# the layers' names (tests/plot/x.h is included as "plot/x.h"): each may
# include its own layer and those below, and tests/support, which sits at
# the files layer. Folders without C++ sources (scripts only) are skipped.
#
# Usage: include_layers.sh [--tests] DIR
set -euo pipefail

tests=0
if [[ "${1:-}" == "--tests" ]]; then
  tests=1
  shift
fi
src="${1:?usage: include_layers.sh [--tests] DIR}"
top="$(basename "$src")"

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

# Test headers that belong to another layer than their folder's: checked as
# that layer's, and an include of one counts as an include of that layer.
# None at present.
declare -A placed=()
if [[ $tests -eq 1 ]]; then
  allowed[support]="base engine plot render files support"
  allowed[wayland]="${allowed[ui]} wayland"
  for folder in "${!allowed[@]}"; do
    [[ "$folder" == support ]] || allowed[$folder]+=" support"
  done
fi

include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*([<"])([^">]+)[">]'
qt_re='^Q[A-Za-z]*(/|$)'

status=0
found=0
for dir in "$src"/*/; do
  folder="$(basename "$dir")"
  if [[ $tests -eq 1 ]] &&
    [[ -z "$(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \) -print -quit)" ]]; then
    continue
  fi
  if [[ -z "${allowed[$folder]+set}" ]]; then
    echo "$top/$folder: a folder of no known layer; add it to $(basename "$0")"
    status=1
    continue
  fi
  while IFS= read -r -d '' file; do
    found=1
    layerOfFile="${placed[${file#"$src"/}]:-$folder}"
    lineno=0
    while IFS= read -r line || [[ -n "$line" ]]; do
      lineno=$((lineno + 1))
      [[ "$line" =~ $include_re ]] || continue
      kind="${BASH_REMATCH[1]}"
      target="${BASH_REMATCH[2]}"
      where="${file#"$src"/}:$lineno"
      if [[ "$kind" == "<" ]]; then
        if [[ " $core " == *" $layerOfFile "* && "$target" =~ $qt_re ]]; then
          echo "$top/$where: the core includes Qt: <$target>"
          status=1
        fi
        continue
      fi
      [[ "$target" == */* ]] || continue  # a header beside the file
      layer="${placed[$target]:-${target%%/*}}"
      if [[ " ${allowed[$layerOfFile]} " != *" $layer "* ]]; then
        echo "$top/$where: $layerOfFile may not include \"$target\" (it may use: ${allowed[$layerOfFile]})"
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
