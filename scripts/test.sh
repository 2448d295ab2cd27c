#!/usr/bin/env bash
# Builds Kurvana with its tests and benchmarks and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" "${KURVANA_TEST_PACKAGES[@]}"
jobs="$(nproc)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$root/build" -j "$jobs"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"
