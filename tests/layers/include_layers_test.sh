#!/usr/bin/env bash
# The include check on small trees: the allowed directions pass, an include
# upward, one sideways (explore and files) and Qt in the core each fail; the
# same for a tree of tests with --tests.
#
# Usage: include_layers_test.sh INCLUDE_LAYERS_SH
set -euo pipefail

check="${1:?usage: include_layers_test.sh INCLUDE_LAYERS_SH}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0

mode=""

# tree NAME FILE=LINE...: a tree with one header per layer and the lines given.
tree() {
  local root="$scratch/$1"
  shift
  local folders="base engine plot render explore files app cli ui"
  [[ -z "$mode" ]] || folders+=" support"
  for folder in $folders; do
    mkdir -p "$root/$folder"
    echo "#pragma once" >"$root/$folder/$folder.h"
  done
  for entry in "$@"; do
    mkdir -p "$(dirname "$root/${entry%%=*}")"
    echo "${entry#*=}" >>"$root/${entry%%=*}"
  done
  echo "$root"
}

# expect pass|fail NAME FILE=LINE...; with mode=--tests the tree is one of tests.
expect() {
  local want="$1" name="$2"
  shift 2
  local root
  root="$(tree "$name" "$@")"
  if bash "$check" $mode "$root" >"$scratch/$name.out" 2>&1; then got=pass; else got=fail; fi
  if [[ "$got" != "$want" ]]; then
    echo "$name: expected $want, got $got"
    cat "$scratch/$name.out"
    failures=$((failures + 1))
  fi
}

expect pass downward \
  'engine/engine.h=#include "base/base.h"' \
  'render/render.h=#include "plot/plot.h"' \
  'files/files.h=#include "render/render.h"' \
  'app/a.cpp=#include "explore/explore.h"' \
  'app/a.cpp=#include "files/files.h"' \
  'ui/u.cpp=#include <QWidget>' \
  'ui/u.cpp=#include "app/app.h"' \
  'plot/p.cpp=#include <vector>' \
  'plot/p.cpp=#include "p.h"'
expect fail upward 'render/r.cpp=#include "explore/explore.h"'
expect fail upward_to_app 'files/f.h=  #  include "app/app.h"'
expect fail files_into_explore 'files/f.cpp=#include "explore/explore.h"'
expect fail explore_into_files 'explore/e.cpp=#include "files/files.h"'
expect fail cli_into_ui 'cli/c.cpp=#include "ui/ui.h"'
expect fail qt_in_core 'engine/e.cpp=#include <QString>'
expect fail unknown_folder 'extra/x.cpp=#include "base/base.h"'

mode=--tests
expect pass tests_downward \
  'render/r_test.cpp=#include "plot/plot.h"' \
  'render/r_test.cpp=#include "render/fixture.h"' \
  'files/f_test.cpp=#include "support/support.h"' \
  'support/s.h=#include "files/files.h"' \
  'ui/u_test.cpp=#include "app/app.h"' \
  'wayland/w_test.cpp=#include "ui/ui.h"' \
  'e2e/run.sh=exit 0'
expect fail tests_upward 'render/r_test.cpp=#include "app/app.h"'
expect fail tests_through_app_fake 'render/r_test.cpp=#include "app/fake_view.h"'
expect fail tests_sideways 'explore/e_test.cpp=#include "files/files.h"'
expect fail tests_support_upward 'support/s.h=#include "app/app.h"'
expect fail tests_qt_in_core 'plot/p_test.cpp=#include <QString>'
expect fail tests_unknown_folder 'extra/x_test.cpp=#include "base/base.h"'

[[ $failures -eq 0 ]] || exit 1
echo "include check: all cases as expected"
