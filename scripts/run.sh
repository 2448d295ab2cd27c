#!/usr/bin/env bash
# Builds Kurvana and runs it: scripts/run.sh [kurvana-cli arguments].
# Without arguments it evaluates a sample formula.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}"
cmake -S "$root" -B "$root/build-run" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKURVANA_TESTS=OFF -DKURVANA_BENCH=OFF >/dev/null
cmake --build "$root/build-run" --target kurvana-cli >/dev/null
if [ $# -eq 0 ]; then
  set -- eval --general 'F(x)=sin(x)^2+cos(x)/2' 0 0.5 1 2
  echo "kurvana-cli $*" >&2
fi
exec "$root/build-run/kurvana-cli" "$@"
