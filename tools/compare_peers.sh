#!/usr/bin/env bash
# Whole-process comparison, start-up included: kurvana-cli draw (BMP) against
# gnuplot's pngcairo terminal drawing the same function with 2000 samples at
# the same size (2040 x 1340). gnuplot is installed for this measurement only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" gnuplot-nox hyperfine time
cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKURVANA_TESTS=OFF -DKURVANA_BENCH=OFF >/dev/null
cmake --build "$root/build-release" --target kurvana-cli >/dev/null
cli="$root/build-release/kurvana-cli"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

formula="${1:-sin(x)}"
cat >"$work/plot.gp" <<GP
set terminal pngcairo size 2040,1340
set output '$work/gnuplot.png'
set samples 2000
set xrange [0:10]
set yrange [-5:5]
plot $formula notitle
GP
kurvana=("$cli" draw --f "F(x)=$formula" --size 2040x1340 -o "$work/kurvana.bmp")

hyperfine --warmup 3 --runs 30 -N --export-markdown "$work/times.md" \
  -n kurvana "${kurvana[*]}" -n gnuplot "gnuplot $work/plot.gp" >/dev/null
cat "$work/times.md"
echo
for name in kurvana gnuplot; do
  if [ "$name" = kurvana ]; then cmd=("${kurvana[@]}"); else cmd=(gnuplot "$work/plot.gp"); fi
  peak=$(/usr/bin/time -f '%M' "${cmd[@]}" 2>&1 >/dev/null | tail -n 1)
  echo "$name peak memory: ${peak} KiB"
done
