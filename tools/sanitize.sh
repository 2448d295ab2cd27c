#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs them. Run before submitting; too slow for CI's budget.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" "${KURVANA_TEST_PACKAGES[@]}"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$root" -B "$root/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DKURVANA_BENCH=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags"
cmake --build "$root/build-asan" -j "$(nproc)"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0" \
  ctest --test-dir "$root/build-asan" --output-on-failure -j "$(nproc)"
