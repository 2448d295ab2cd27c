#include <cstring>
#include <limits>

#include "render/curves.h"

namespace kurvana {
namespace {

static_assert(sizeof(long double) >= 10 && std::numeric_limits<long double>::digits == 64,
              "noSample is an x87 80-bit pattern");

// The x87 layout in memory: 64-bit significand, then sign and exponent.
constexpr unsigned char kNoSampleBytes[10] = {0x83, 0xFA, 0x96, 0x39, 0x5D,
                                              0xB6, 0xE6, 0xC0, 0x0C, 0x40};

long double makeNoSample() {
  long double v = 0;
  std::memcpy(&v, kNoSampleBytes, sizeof kNoSampleBytes);
  return v;
}

const long double kNoSample = makeNoSample();

}  // namespace

long double noSample() {
  return kNoSample;
}

bool isNoSample(long double v) {
  return std::memcmp(&v, kNoSampleBytes, sizeof kNoSampleBytes) == 0;
}

}  // namespace kurvana
