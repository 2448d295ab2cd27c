// The settings record: window size, ranges, options and colour in a fixed
// 89-byte binary layout, reals as 10-byte x87 extended values.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "base/status.h"
#include "plot/plot_state.h"

namespace kurvana {

inline constexpr std::size_t kSettingsSize = 89;

// Offsets of the record; integers little-endian, flags one byte (11 or 22).
namespace settings_offset {
inline constexpr std::size_t kWindowWidth = 0;  // int32
inline constexpr std::size_t kWindowHeight = 4;
inline constexpr std::size_t kXMin = 8;  // 10-byte extended values
inline constexpr std::size_t kXMax = 18;
inline constexpr std::size_t kYMin = 28;
inline constexpr std::size_t kYMax = 38;
inline constexpr std::size_t kAutoScale = 48;
inline constexpr std::size_t kLines = 49;
inline constexpr std::size_t kFilled = 50;
inline constexpr std::size_t kCircle = 51;
inline constexpr std::size_t kRed = 52;  // curveColor, one byte per channel
inline constexpr std::size_t kGreen = 53;
inline constexpr std::size_t kBlue = 54;
inline constexpr std::size_t kAntialias = 55;
inline constexpr std::size_t kLanguage = 56;
inline constexpr std::size_t kTwoFunctions = 57;
inline constexpr std::size_t kZMin = 58;
inline constexpr std::size_t kZMax = 68;
inline constexpr std::size_t kZCount = 78;  // int32
inline constexpr std::size_t kWhiteBack = 82;
inline constexpr std::size_t kGrid = 83;
inline constexpr std::size_t kAxes = 84;
inline constexpr std::size_t kDarkNegative = 85;
inline constexpr std::size_t kReport = 86;
inline constexpr std::size_t kPolar = 87;
inline constexpr std::size_t kThick = 88;
}  // namespace settings_offset

struct WindowExtent {
  std::int32_t width = 1024;
  std::int32_t height = 768;
};

// The x87 extended layout: 8-byte significand with its explicit integer bit,
// then sign and 15-bit exponent, little-endian; built arithmetically, so it
// holds on any CPU. Non-finite values are never stored: they encode as 0.
std::array<std::uint8_t, 10> encodeExtended(long double value);
// False for an infinity, a NaN or an encoding the x87 itself rejects
// (unnormals, pseudo-denormals).
bool decodeExtended(std::span<const std::uint8_t, 10> bytes, long double& value);

std::array<std::uint8_t, kSettingsSize> encodeSettings(const PlotState& state,
                                                       const WindowExtent& window);

// Applies a record to the state. A short record supplies only the fields it
// holds completely; a real that is not a finite number, and a colour whose
// bytes are not all there, leave the value as it was; a flag byte other than
// 11 or 22 reads as off. Returns whether the record was complete.
bool decodeSettings(std::span<const std::uint8_t> bytes, PlotState& state, WindowExtent& window);

// The record at `path`: a missing file leaves everything as it is (first run).
// Bytes beyond the record are ignored, but a file larger than 4 KiB is not a
// record of ours and is refused, as is anything but a regular file.
Status readSettings(const std::filesystem::path& path, PlotState& state, WindowExtent& window);
Status writeSettings(const std::filesystem::path& path, const PlotState& state,
                     const WindowExtent& window);

}  // namespace kurvana
