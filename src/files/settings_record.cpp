#include "files/settings_record.h"

#include <cmath>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

namespace off = settings_offset;

constexpr int kExponentBias = 16383;

void put32(std::uint8_t* out, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

std::int32_t get32(const std::uint8_t* in) {
  std::uint32_t u = 0;
  for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(in[i]) << (8 * i);
  return static_cast<std::int32_t>(u);
}

// Flags as they live in the state: 11 or 22, anything else off.
std::uint8_t sanitizedFlag(std::uint8_t byte) {
  return byte == flagOn ? flagOn : flagOff;
}

}  // namespace

std::array<std::uint8_t, 10> encodeExtended(long double value) {
  std::array<std::uint8_t, 10> bytes{};
  if (!std::isfinite(value) || value == 0) {
    if (std::signbit(value) && value == 0) bytes[9] = 0x80;
    return bytes;
  }
  const bool negative = std::signbit(value);
  int exponent = 0;
  // value = m * 2^exponent with m in [0.5, 1): the significand is m * 2^64.
  const long double m = std::frexp(std::fabs(value), &exponent);
  std::uint64_t significand = static_cast<std::uint64_t>(std::ldexp(m, 64));
  int biased = exponent - 1 + kExponentBias;
  if (biased <= 0) {  // denormal: exponent field 0, significand shifted down
    significand >>= (1 - biased);
    biased = 0;
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(significand >> (8 * i));
  const std::uint16_t top = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | biased);
  bytes[8] = static_cast<std::uint8_t>(top & 0xFF);
  bytes[9] = static_cast<std::uint8_t>(top >> 8);
  return bytes;
}

bool decodeExtended(std::span<const std::uint8_t, 10> bytes, long double& value) {
  std::uint64_t significand = 0;
  for (int i = 0; i < 8; ++i) significand |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
  const int top = bytes[8] | (bytes[9] << 8);
  const bool negative = (top & 0x8000) != 0;
  const int biased = top & 0x7FFF;
  const bool integerBit = (significand >> 63) != 0;
  if (biased == 0x7FFF) return false;            // infinity or NaN
  if (biased != 0 && !integerBit) return false;  // unnormal
  if (biased == 0 && integerBit) return false;   // pseudo-denormal
  const int exponent = (biased == 0 ? 1 : biased) - kExponentBias - 63;
  const long double magnitude = std::ldexp(static_cast<long double>(significand), exponent);
  value = negative ? -magnitude : magnitude;
  return true;
}

std::array<std::uint8_t, kSettingsSize> encodeSettings(const PlotState& s,
                                                       const WindowExtent& window) {
  std::array<std::uint8_t, kSettingsSize> r{};
  put32(&r[off::kWindowWidth], window.width);
  put32(&r[off::kWindowHeight], window.height);
  const auto real = [&r](std::size_t at, long double v) {
    const auto bytes = encodeExtended(v);
    std::copy(bytes.begin(), bytes.end(), r.begin() + static_cast<std::ptrdiff_t>(at));
  };
  real(off::kXMin, s.xMin);
  real(off::kXMax, s.xMax);
  real(off::kYMin, s.yMin);
  real(off::kYMax, s.yMax);
  r[off::kAutoScale] = s.optAutoScale;
  r[off::kLines] = s.optLines;
  r[off::kFilled] = s.optFilled;
  r[off::kCircle] = s.optCircle;
  r[off::kRed] = static_cast<std::uint8_t>(s.curveColor & 0xFF);
  r[off::kGreen] = static_cast<std::uint8_t>((s.curveColor >> 8) & 0xFF);
  r[off::kBlue] = static_cast<std::uint8_t>((s.curveColor >> 16) & 0xFF);
  r[off::kAntialias] = s.optAntialias;
  r[off::kLanguage] = s.optLanguage;
  r[off::kTwoFunctions] = s.optTwoFunctions;
  real(off::kZMin, s.zMin);
  real(off::kZMax, s.zMax);
  put32(&r[off::kZCount], s.zCount);
  r[off::kWhiteBack] = s.optWhiteBack;
  r[off::kGrid] = s.optGrid;
  r[off::kAxes] = s.optAxes;
  r[off::kDarkNegative] = s.optDarkNegative;
  r[off::kReport] = s.optReport;
  r[off::kPolar] = s.optPolar;
  r[off::kThick] = s.optThick;
  return r;
}

bool decodeSettings(std::span<const std::uint8_t> bytes, PlotState& s, WindowExtent& window) {
  const auto has = [&bytes](std::size_t at, std::size_t size) { return at + size <= bytes.size(); };
  if (has(off::kWindowWidth, 4)) window.width = get32(&bytes[off::kWindowWidth]);
  if (has(off::kWindowHeight, 4)) window.height = get32(&bytes[off::kWindowHeight]);
  const auto real = [&](std::size_t at, long double& target) {
    long double v = 0;
    if (has(at, 10) && decodeExtended(bytes.subspan(at).first<10>(), v)) target = v;
  };
  const auto flag = [&](std::size_t at, std::uint8_t& target) {
    if (has(at, 1)) target = sanitizedFlag(bytes[at]);
  };
  real(off::kXMin, s.xMin);
  real(off::kXMax, s.xMax);
  real(off::kYMin, s.yMin);
  real(off::kYMax, s.yMax);
  flag(off::kAutoScale, s.optAutoScale);
  flag(off::kLines, s.optLines);
  flag(off::kFilled, s.optFilled);
  flag(off::kCircle, s.optCircle);
  if (has(off::kRed, 3)) {
    setCurveColor(s, bytes[off::kRed] + 256u * bytes[off::kGreen] + 65536u * bytes[off::kBlue]);
  }
  flag(off::kAntialias, s.optAntialias);
  flag(off::kLanguage, s.optLanguage);
  flag(off::kTwoFunctions, s.optTwoFunctions);
  real(off::kZMin, s.zMin);
  real(off::kZMax, s.zMax);
  if (has(off::kZCount, 4)) s.zCount = get32(&bytes[off::kZCount]);
  flag(off::kWhiteBack, s.optWhiteBack);
  flag(off::kGrid, s.optGrid);
  flag(off::kAxes, s.optAxes);
  flag(off::kDarkNegative, s.optDarkNegative);
  flag(off::kReport, s.optReport);
  flag(off::kPolar, s.optPolar);
  flag(off::kThick, s.optThick);
  return bytes.size() >= kSettingsSize;
}

std::string readSettings(const std::filesystem::path& path, PlotState& state,
                         WindowExtent& window) {
  std::error_code code;
  if (!std::filesystem::exists(path, code)) return {};  // first run
  std::string error;
  const auto bytes = readFileStart(path, kSettingsSize, &error);
  if (!bytes) return error;
  decodeSettings(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()),
                 state, window);
  return {};
}

std::string writeSettings(const std::filesystem::path& path, const PlotState& state,
                          const WindowExtent& window) {
  const auto record = encodeSettings(state, window);
  AtomicFile file(path);
  file.write(record.data(), record.size());
  return file.commit();
}

}  // namespace kurvana
