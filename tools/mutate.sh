#!/usr/bin/env bash
# Mutation check: plants each one-line slip of a list in a scratch copy of the
# tree, rebuilds, runs the test suite and reports the slips that no test
# caught, with the kill rate overall and per folder of src/. Run it before
# submitting changes to the core; at about a minute per mutant on two cores
# it does not belong in CI's time.
#
# Usage: tools/mutate.sh [-l LIST] [-s SOURCE] [-w SCRATCH] [-j JOBS] [-a] [-k]
#   -l LIST     the mutants (default: tools/mutants.txt beside this script)
#   -s SOURCE   the tree to copy (default: the checkout holding this script,
#               uncommitted files included; ignored files such as build*/ not)
#   -w SCRATCH  the scratch folder (default: a new one under /tmp, removed at
#               the end). A folder from an earlier run with -k is brought up to
#               date file by file, which spares most of the first build.
#   -j JOBS     parallel build and test jobs (default: nproc)
#   -a          run every test for each mutant and name all that fail
#               (default: the run stops at the first failing test)
#   -k          keep the scratch folder
#
# LIST has one mutant a line, four fields separated by tabs:
#   FILE <tab> FUNCTION <tab> OLD <tab> NEW
# FILE is relative to the tree. FUNCTION names a definition at namespace or
# class level in FILE as it is written there ("plotcart", "Canvas::plot", a
# constant such as "kFunctionOps"); overloads of one name count as one. OLD
# must occur exactly once within that definition and becomes NEW, so a slip
# stays valid wherever its function moves within the file. One that has no
# such definition, or whose OLD occurs there never or more than once, is
# reported as stale and not counted. Empty lines and lines starting with # are
# skipped.
#
# Every mutant is judged by the whole ctest suite of the scratch build (unit
# tests of every folder, the window's tests, the end-to-end run and the install
# check), so a slip caught anywhere counts. Stopping at the first failure
# changes only how long a killed mutant takes, not whether it is killed. A
# mutant that does not compile counts as killed and is reported separately.
#
# Exit status: 0 when at least 90% of the counted mutants are killed and no
# folder is below 80%, 1 otherwise, 2 for a usage error or a failing baseline.
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # "&" in NEW is plain text

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
list="$here/mutants.txt"
source_tree="$(cd "$here/.." && pwd)"
scratch=""
jobs="$(nproc)"
every=0
keep=0
while getopts "l:s:w:j:akh" option; do
  case "$option" in
    l) list="$(realpath "$OPTARG")" ;;
    s) source_tree="$(realpath "$OPTARG")" ;;
    w) scratch="$(realpath -m "$OPTARG")" ;;
    j) jobs="$OPTARG" ;;
    a) every=1 ;;
    k) keep=1 ;;
    *)
      sed -n '2,/^set -euo/p' "${BASH_SOURCE[0]}" | sed '$d; s/^# \{0,1\}//'
      exit 2
      ;;
  esac
done
[[ -f "$list" ]] || { echo "mutate.sh: no list $list" >&2; exit 2; }
. "$here/../scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" "${KURVANA_TEST_PACKAGES[@]}" git
git -C "$source_tree" rev-parse --git-dir > /dev/null 2>&1 ||
  { echo "mutate.sh: $source_tree is no git checkout" >&2; exit 2; }

if [[ -z "$scratch" ]]; then
  scratch="$(mktemp -d /tmp/kurvana-mutate.XXXXXX)"
elif [[ "$scratch" == "$source_tree" || "$scratch" == "$source_tree"/* ]]; then
  echo "mutate.sh: the scratch folder must lie outside the source tree" >&2
  exit 2
fi
tree="$scratch/tree"
build="$tree/build-mut"
logs="$scratch/logs"
mkdir -p "$tree" "$logs"
cleanup() {
  if [[ "$keep" -eq 0 ]]; then
    rm -rf "$scratch"
  else
    echo "Scratch kept in $scratch"
  fi
}
trap cleanup EXIT

# The tree as the source has it now: tracked and new files, without what git
# ignores. Unchanged files keep their times, so a reused build stays valid.
sync_tree() {
  local wanted="$scratch/wanted" present="$scratch/present" file
  git -C "$source_tree" ls-files -co --exclude-standard |
    while IFS= read -r file; do [[ -f "$source_tree/$file" ]] && printf '%s\n' "$file"; done |
    sort -u > "$wanted"
  (cd "$tree" && find . -path ./build-mut -prune -o -type f -print | sed 's|^\./||' | sort) \
    > "$present"
  comm -13 "$wanted" "$present" | while IFS= read -r file; do rm -f "$tree/$file"; done
  while IFS= read -r file; do
    if ! cmp -s "$source_tree/$file" "$tree/$file"; then
      mkdir -p "$(dirname "$tree/$file")"
      cp "$source_tree/$file" "$tree/$file"
    fi
  done < "$wanted"
}

build_tree() {
  cmake --build "$build" -j "$jobs" > "$1" 2>&1
}

# Runs the suite; prints the names of the failing tests, one a line.
run_tests() {
  local log="$1" stop=(--stop-on-failure)
  [[ "$every" -eq 1 ]] && stop=()
  if ctest --test-dir "$build" -j "$jobs" --timeout 120 "${stop[@]}" > "$log" 2>&1; then
    return 0
  fi
  sed -n '/The following tests FAILED:/,$p' "$log" |
    sed -n 's/^[[:space:]]*[0-9]\{1,\} - \(.*\) (\(.*\))$/\1 (\2)/p'
  return 1
}

# The definitions at namespace or class level of a C++ file, one a line:
# NAME <tab> FIRST <tab> LAST, from the line of the opening brace (of the
# declaration, for a constant without braces) to the line of the closing one.
# The name is the word before the parameter list, the initialiser or the brace,
# qualified as written. Comments, string and character literals and
# preprocessor lines are skipped; a brace opened inside a definition belongs
# to it.
definitions() {
  awk '
    function classify(h,   p, q, e, n, m, rest) {
      gsub(/[ \t]+/, " ", h)
      if (h ~ /(^|[^A-Za-z0-9_])(namespace|class|struct|union|enum|extern)([^A-Za-z0-9_]|$)/ && h !~ /[(=]/) return ""
      p = index(h, "("); q = index(h, "=")
      if (q > 0 && (p == 0 || q < p)) e = q; else if (p > 0) e = p; else e = length(h) + 1
      rest = substr(h, 1, e - 1)
      sub(/[ \t]+$/, "", rest)
      if (match(rest, /operator *[^ A-Za-z0-9_]+$/)) { n = substr(rest, RSTART); gsub(/ /, "", n); return n }
      if (match(rest, /[A-Za-z_~][A-Za-z0-9_:~]*$/)) return substr(rest, RSTART)
      return "?"
    }
    BEGIN { depth = 0; incomment = 0; header = "" }
    {
      line = $0
      if (!incomment && line ~ /^[ \t]*#/) next
      n = length(line)
      for (i = 1; i <= n; i++) {
        c = substr(line, i, 1)
        if (incomment) {
          if (c == "*" && substr(line, i + 1, 1) == "/") { incomment = 0; i++ }
          continue
        }
        if (c == "/" && substr(line, i + 1, 1) == "/") break
        if (c == "/" && substr(line, i + 1, 1) == "*") { incomment = 1; i++; continue }
        if (c == "\"" || c == "\047") {
          for (j = i + 1; j <= n; j++) {
            d = substr(line, j, 1)
            if (d == "\\") { j++; continue }
            if (d == c) break
          }
          i = j
          header = header " \"\" "
          continue
        }
        if (c == "{") {
          depth++
          if (depth == 1 || kind[depth - 1] == "container") {
            name = classify(header)
            if (name == "") kind[depth] = "container"
            else { kind[depth] = "def"; defname[depth] = name; start[depth] = NR }
          } else kind[depth] = "inner"
          header = ""
          continue
        }
        if (c == "}") {
          if (depth > 0 && kind[depth] == "def") printf "%s\t%d\t%d\n", defname[depth], start[depth], NR
          if (depth > 0) depth--
          header = ""
          continue
        }
        if (c == ";") {
          # A namespace-level constant without braces: "int kName = 3;".
          if ((depth == 0 || kind[depth] == "container") && header ~ /=/ && header !~ /^[^=]*\(/) {
            name = classify(header)
            if (name != "" && name != "?") printf "%s\t%d\t%d\n", name, hstart, NR
          }
          header = ""
          continue
        }
        if (header !~ /[^ \t]/ && c !~ /[ \t]/) hstart = NR
        header = header c
      }
      header = header " "
    }
  ' "$1"
}

echo "Copying $source_tree to $tree"
sync_tree
start_all=$SECONDS
cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKURVANA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG" > "$logs/configure.log" 2>&1 ||
  { cat "$logs/configure.log" >&2; exit 2; }
echo "Building and testing the unchanged tree"
if ! build_tree "$logs/baseline-build.log"; then
  tail -n 30 "$logs/baseline-build.log" >&2
  echo "mutate.sh: the unchanged tree does not build" >&2
  exit 2
fi
saved_every=$every
every=1
if ! baseline_failures="$(run_tests "$logs/baseline-test.log")"; then
  echo "mutate.sh: the unchanged tree fails tests:" >&2
  printf '  %s\n' "$baseline_failures" >&2
  exit 2
fi
every=$saved_every
echo "Baseline passes ($((SECONDS - start_all)) s)"

declare -A total=() killed=()
folders=(engine plot render explore files app cli ui)
for folder in "${folders[@]}"; do total[$folder]=0; killed[$folder]=0; done
survivors=()
stale=()
not_compiled=0
count=0
number=0
original="$scratch/original"
results="$scratch/results.tsv"
: > "$results"

while IFS=$'\t' read -r file function old new || [[ -n "${file:-}" ]]; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  number=$((number + 1))
  label="$file $function  '$old' -> '$new'"
  path="$tree/$file"
  line=0
  why="no file"
  if [[ -n "$old" && -f "$path" ]]; then
    mapfile -t lines < "$path"
    # Every line of every definition of FUNCTION; OLD must occur once in all.
    why="no definition $function"
    hits=0
    while IFS=$'\t' read -r name first last; do
      [[ "$name" == "$function" ]] || continue
      why=""
      for ((k = first; k <= last; k++)); do
        text="${lines[k - 1]}"
        rest="${text//"$old"/}"
        n=$(((${#text} - ${#rest}) / ${#old}))
        ((n == 0)) || { hits=$((hits + n)); line=$k; }
      done
    done < <(definitions "$path")
    if [[ -z "$why" && "$hits" -ne 1 ]]; then
      why="old text $hits times in $function"
      line=0
    fi
  fi
  if ((line == 0)); then
    stale+=("$label ($why)")
    printf '#%-3d stale      %s (%s)\n' "$number" "$label" "$why"
    continue
  fi
  text="${lines[line - 1]}"
  label="$file:$line $function  '$old' -> '$new'"
  folder="$(echo "$file" | sed -n 's|^src/\([^/]*\)/.*|\1|p')"
  [[ -n "$folder" && -n "${total[$folder]+set}" ]] || folder="other"
  if [[ -z "${total[$folder]+set}" ]]; then total[$folder]=0; killed[$folder]=0; folders+=("$folder"); fi

  cp "$path" "$original"
  lines[line - 1]="${text/"$old"/"$new"}"
  printf '%s\n' "${lines[@]}" > "$path"
  begin=$SECONDS
  verdict=""
  if ! build_tree "$logs/mutant-$number-build.log"; then
    if grep -q "Error running test executable" "$logs/mutant-$number-build.log"; then
      verdict="killed     (a test program fails to start)"
    else
      verdict="killed     (does not compile)"
      not_compiled=$((not_compiled + 1))
    fi
  elif failures="$(run_tests "$logs/mutant-$number-test.log")"; then
    verdict="SURVIVED"
  else
    [[ -n "$failures" ]] || failures="(ctest failed; see $logs/mutant-$number-test.log)"
    mapfile -t failed <<< "$failures"
    verdict="killed     by ${failed[0]}"
    for ((k = 1; k < ${#failed[@]} && k < 3; k++)); do verdict+=", ${failed[k]}"; done
    ((${#failed[@]} <= 3)) || verdict+=" and $((${#failed[@]} - 3)) more"
  fi
  # A fresh time stamp makes the next build compile the original again.
  cp "$original" "$path"

  count=$((count + 1))
  total[$folder]=$((total[$folder] + 1))
  if [[ "$verdict" == SURVIVED ]]; then
    survivors+=("$label")
  else
    killed[$folder]=$((killed[$folder] + 1))
  fi
  printf '#%-3d %s  %s (%d s)\n' "$number" "$label" "$verdict" $((SECONDS - begin))
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$file" "$function" "$line" "$old" "$new" "$verdict" \
    >> "$results"
done < "$list"

# Leave the scratch build as the tree is.
build_tree "$logs/final-build.log" || true

percent() {  # killed, total: rounded to one decimal
  ((${2} > 0)) || { echo "-"; return; }
  local tenths=$((($1 * 1000 + $2 / 2) / $2))
  echo "$((tenths / 10)).$((tenths % 10))%"
}
all_killed=0
echo
echo "Survivors: ${#survivors[@]}"
for s in "${survivors[@]}"; do echo "  $s"; done
if [[ ${#stale[@]} -gt 0 ]]; then
  echo "Stale, not counted: ${#stale[@]}"
  for s in "${stale[@]}"; do echo "  $s"; done
fi
echo
echo "Per folder of src/:"
ok=1
for folder in "${folders[@]}"; do
  all_killed=$((all_killed + killed[$folder]))
  [[ "${total[$folder]}" -eq 0 ]] && { printf '  %-8s no mutants\n' "$folder"; continue; }
  printf '  %-8s %3d/%-3d killed  %s\n' "$folder" "${killed[$folder]}" "${total[$folder]}" \
    "$(percent "${killed[$folder]}" "${total[$folder]}")"
  ((killed[$folder] * 100 >= 80 * total[$folder])) || ok=0
done
echo "Overall: $all_killed/$count killed ($(percent "$all_killed" "$count")), of which" \
  "$not_compiled did not compile; $((SECONDS - start_all)) s in all"
((count > 0 && all_killed * 100 >= 90 * count)) || ok=0
[[ "$ok" -eq 1 ]]
