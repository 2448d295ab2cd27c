#!/usr/bin/env bash
# Fuzzes the formula engine, the number reader and the file readers with
# libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer:
# tools/fuzz.sh [seconds per target]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages clang libclang-rt-14-dev
seconds="${1:-60}"
out="$root/build-fuzz"
mkdir -p "$out/corpus"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" -I"$root/tests" \
  "$root/tools/fuzz/formula_fuzz.cpp" "$root"/src/engine/*.cpp "$root"/src/plot/number_format.cpp \
  "$root/tests/engine/text_oracle.cpp" -o "$out/formula_fuzz"
printf 'F(x)=2*sin(x+pi/4)^2' >"$out/corpus/seed1"
printf 'F(x)=((x^3-2*x^2+x-1)/(x^2+1))*sin(3*x)+cos(x/2)^2-log(x)' >"$out/corpus/seed2"
printf 'F(x)=sqrt(abs(x))*exp(0-x/3)+ln(x)' >"$out/corpus/seed3"
"$out/formula_fuzz" -max_total_time="$seconds" -max_len=200 "$out/corpus"

ensure_packages libfreetype-dev libfontconfig-dev libjpeg62-turbo-dev libpng-dev libdeflate-dev pkgconf
mkdir -p "$out/files_corpus"
cp "$root"/assets/lang_*.txt "$out/files_corpus/"
printf 'F(x)=SIN(X)\r\npolar = true\r\nx min = 0\r\n' >"$out/files_corpus/seed.kv1"
clang++ -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I"$root/src" "$root/tools/fuzz/files_fuzz.cpp" "$root"/src/files/*.cpp "$root"/src/plot/*.cpp \
  "$root"/src/render/*.cpp "$root"/src/engine/*.cpp "$root"/src/app/function_files.cpp \
  $(pkg-config --cflags --libs freetype2 fontconfig libpng zlib libdeflate) -ljpeg -pthread -o "$out/files_fuzz"
LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0" \
  "$out/files_fuzz" -max_total_time="$seconds" -max_len=400 "$out/files_corpus"
