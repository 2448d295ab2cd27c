#include "files/settings_record.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

namespace off = settings_offset;

constexpr int kExponentBias = 16383;
// The record is 89 bytes; anything this large is some other file.
constexpr std::size_t kMaxSettingsFileBytes = 4u << 10;

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

namespace {

// The reals and flags of the record: one list serves writing and reading.
struct RealField {
  std::size_t offset;
  long double PlotState::*member;
};
constexpr RealField kReals[] = {
    {off::kXMin, &PlotState::xMin}, {off::kXMax, &PlotState::xMax}, {off::kYMin, &PlotState::yMin},
    {off::kYMax, &PlotState::yMax}, {off::kZMin, &PlotState::zMin}, {off::kZMax, &PlotState::zMax},
};

struct FlagField {
  std::size_t offset;
  std::uint8_t PlotState::*member;
};
constexpr FlagField kFlags[] = {
    {off::kAutoScale, &PlotState::optAutoScale},
    {off::kLines, &PlotState::optLines},
    {off::kFilled, &PlotState::optFilled},
    {off::kCircle, &PlotState::optCircle},
    {off::kAntialias, &PlotState::optAntialias},
    {off::kLanguage, &PlotState::optLanguage},
    {off::kTwoFunctions, &PlotState::optTwoFunctions},
    {off::kWhiteBack, &PlotState::optWhiteBack},
    {off::kGrid, &PlotState::optGrid},
    {off::kAxes, &PlotState::optAxes},
    {off::kDarkNegative, &PlotState::optDarkNegative},
    {off::kReport, &PlotState::optReport},
    {off::kPolar, &PlotState::optPolar},
    {off::kThick, &PlotState::optThick},
};

}  // namespace

std::array<std::uint8_t, kSettingsSize> encodeSettings(const PlotState& s,
                                                       const WindowExtent& window) {
  std::array<std::uint8_t, kSettingsSize> r{};
  put32(&r[off::kWindowWidth], window.width);
  put32(&r[off::kWindowHeight], window.height);
  put32(&r[off::kZCount], s.zCount);
  for (const RealField& f : kReals) {
    const auto bytes = encodeExtended(s.*f.member);
    std::copy(bytes.begin(), bytes.end(), r.begin() + static_cast<std::ptrdiff_t>(f.offset));
  }
  for (const FlagField& f : kFlags) r[f.offset] = s.*f.member;
  r[off::kRed] = static_cast<std::uint8_t>(s.curveColor & 0xFF);
  r[off::kGreen] = static_cast<std::uint8_t>((s.curveColor >> 8) & 0xFF);
  r[off::kBlue] = static_cast<std::uint8_t>((s.curveColor >> 16) & 0xFF);
  return r;
}

bool decodeSettings(std::span<const std::uint8_t> bytes, PlotState& s, WindowExtent& window) {
  const auto has = [&bytes](std::size_t at, std::size_t size) { return at + size <= bytes.size(); };
  if (has(off::kWindowWidth, 4)) window.width = get32(&bytes[off::kWindowWidth]);
  if (has(off::kWindowHeight, 4)) window.height = get32(&bytes[off::kWindowHeight]);
  if (has(off::kZCount, 4)) s.zCount = get32(&bytes[off::kZCount]);
  for (const RealField& f : kReals) {
    long double v = 0;
    if (has(f.offset, 10) && decodeExtended(bytes.subspan(f.offset).first<10>(), v)) {
      s.*f.member = v;
    }
  }
  for (const FlagField& f : kFlags) {
    if (has(f.offset, 1)) s.*f.member = sanitizedFlag(bytes[f.offset]);
  }
  if (has(off::kRed, 3)) {
    setCurveColor(s, bytes[off::kRed] + 256u * bytes[off::kGreen] + 65536u * bytes[off::kBlue]);
  }
  return bytes.size() >= kSettingsSize;
}

Status readSettings(const std::filesystem::path& path, PlotState& state, WindowExtent& window) {
  const FileContents contents = readFile(path, kMaxSettingsFileBytes);
  if (contents.missing) return {};  // first run
  if (!contents.bytes) return contents.status;
  const std::string& bytes = *contents.bytes;
  decodeSettings(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           std::min(bytes.size(), kSettingsSize)),
                 state, window);
  return {};
}

Status writeSettings(const std::filesystem::path& path, const PlotState& state,
                     const WindowExtent& window) {
  const auto record = encodeSettings(state, window);
  AtomicFile file(path);
  file.write(record.data(), record.size());
  return file.commit();
}

}  // namespace kurvana
