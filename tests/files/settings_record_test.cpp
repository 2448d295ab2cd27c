// The 89-byte settings record: the x87 real layout, exact offsets, round trips
// and damaged records.
#include "files/settings_record.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <vector>

namespace kurvana {
namespace {

namespace off = settings_offset;

TEST(ExtendedLayout, TenIsTheDocumentedBytes) {
  const auto bytes = encodeExtended(10.0L);
  const std::array<std::uint8_t, 10> expected = {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40};
  EXPECT_EQ(bytes, expected);
}

TEST(ExtendedLayout, MatchesTheMachineFormatAndRoundTrips) {
  std::mt19937_64 rng(11);
  std::vector<long double> values = {0.0L,
                                     -0.0L,
                                     1.0L,
                                     -2.5L,
                                     1e-4940L,
                                     -3.6e-4951L,
                                     std::numeric_limits<long double>::max(),
                                     std::numeric_limits<long double>::min(),
                                     0.1L,
                                     1e300L};
  for (int i = 0; i < 2000; ++i) {
    const long double m = static_cast<long double>(rng()) / 18446744073709551616.0L;
    values.push_back(std::ldexp(rng() % 2 ? m : -m, static_cast<int>(rng() % 32000) - 16000));
  }
  for (long double v : values) {
    const auto bytes = encodeExtended(v);
    unsigned char machine[sizeof(long double)] = {};
    std::memcpy(machine, &v, sizeof v);
    ASSERT_EQ(std::memcmp(bytes.data(), machine, 10), 0) << static_cast<double>(v);
    long double back = 1;
    ASSERT_TRUE(decodeExtended(bytes, back));
    ASSERT_EQ(std::memcmp(&back, &v, 10), 0) << static_cast<double>(v);
  }
}

TEST(ExtendedLayout, RejectsWhatIsNoFiniteNumber) {
  long double v = 7;
  std::array<std::uint8_t, 10> inf = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F};
  EXPECT_FALSE(decodeExtended(inf, v));
  std::array<std::uint8_t, 10> nan = {1, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF};
  EXPECT_FALSE(decodeExtended(nan, v));
  std::array<std::uint8_t, 10> unnormal = {0, 0, 0, 0, 0, 0, 0, 0x40, 0x02, 0x40};
  EXPECT_FALSE(decodeExtended(unnormal, v));
  std::array<std::uint8_t, 10> pseudoDenormal = {0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0};
  EXPECT_FALSE(decodeExtended(pseudoDenormal, v));
  EXPECT_EQ(v, 7.0L);
  EXPECT_EQ(encodeExtended(std::numeric_limits<long double>::infinity()),
            (std::array<std::uint8_t, 10>{}));
}

class SettingsRecord : public ::testing::Test {
 protected:
  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
};

TEST_F(SettingsRecord, DefaultsByteForByte) {
  std::array<std::uint8_t, kSettingsSize> expected{};
  const auto put = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
  };
  put(off::kWindowWidth, {0x00, 0x04, 0, 0});   // 1024
  put(off::kWindowHeight, {0x00, 0x03, 0, 0});  // 768
  // xMin 0 stays all zero bytes; 10, -5, 5:
  put(off::kXMax, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40});
  put(off::kYMin, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0xC0});
  put(off::kYMax, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40});
  put(off::kAutoScale, {22, 22, 22, 22, 0x60, 0x60, 0xFF, 22, 22, 22});
  put(off::kZMax, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40});
  put(off::kZCount, {0xE8, 0x03, 0, 0});  // 1000
  put(off::kWhiteBack, {22, 11, 11, 11, 22, 22, 22});
  EXPECT_EQ(encodeSettings(s, WindowExtent{}), expected);
}

TEST_F(SettingsRecord, EveryFieldRoundTrips) {
  s.xMin = -1.25L;
  s.xMax = 1e-300L;
  s.yMin = -7;
  s.yMax = 3.14159265358979323846L;
  s.zMin = -0.5L;
  s.zMax = 123456.789L;
  s.zCount = 77;
  for (std::uint8_t PlotState::*f :
       {&PlotState::optAutoScale, &PlotState::optLines, &PlotState::optFilled,
        &PlotState::optCircle, &PlotState::optAntialias, &PlotState::optLanguage,
        &PlotState::optTwoFunctions, &PlotState::optWhiteBack, &PlotState::optReport,
        &PlotState::optPolar, &PlotState::optThick}) {
    s.*f = flagOn;
  }
  s.optGrid = s.optAxes = s.optDarkNegative = flagOff;
  setCurveColor(s, 0x0A0B0C);
  const auto record = encodeSettings(s, WindowExtent{1500, 900});
  EXPECT_EQ(record[off::kRed], 0x0C);
  EXPECT_EQ(record[off::kBlue], 0x0A);

  auto fresh = std::make_unique<PlotState>();
  WindowExtent window;
  EXPECT_TRUE(decodeSettings(record, *fresh, window));
  EXPECT_EQ(window.width, 1500);
  EXPECT_EQ(window.height, 900);
  EXPECT_EQ(encodeSettings(*fresh, window), record);
  EXPECT_EQ(fresh->yMax, s.yMax);
  EXPECT_EQ(fresh->curveColorDark, c10(0x0A0B0C));
}

TEST_F(SettingsRecord, DamagedRecordsGiveUsableValues) {
  auto record = encodeSettings(s, WindowExtent{5000, 700});
  record[off::kGrid] = 0;
  record[off::kAxes] = 255;
  record[off::kLines] = 11;
  std::fill_n(record.begin() + off::kXMin, 10, 0xFF);  // a NaN
  s.xMin = -3;
  WindowExtent window;
  decodeSettings(record, s, window);
  EXPECT_EQ(window.width, 5000);  // the window fits it to the screen later
  EXPECT_EQ(s.optGrid, flagOff);
  EXPECT_EQ(s.optAxes, flagOff);
  EXPECT_EQ(s.optLines, flagOn);
  EXPECT_EQ(s.xMin, -3.0L);

  // A record cut inside the colour keeps the colour and everything after it.
  auto fresh = std::make_unique<PlotState>();
  const auto full = encodeSettings(s, window);
  fresh->optThick = flagOn;
  EXPECT_FALSE(decodeSettings(std::span(full).first(53), *fresh, window));
  EXPECT_EQ(fresh->curveColor, 0xFF6060u);
  EXPECT_EQ(fresh->optThick, flagOn);
  EXPECT_FALSE(decodeSettings({}, *fresh, window));

  std::mt19937 rng(5);
  for (int i = 0; i < 500; ++i) {
    std::vector<std::uint8_t> bytes(rng() % 100);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng());
    decodeSettings(bytes, *fresh, window);
    EXPECT_TRUE(std::isfinite(fresh->xMin) && std::isfinite(fresh->zMax));
    EXPECT_TRUE(fresh->optPolar == flagOn || fresh->optPolar == flagOff);
  }
}

TEST_F(SettingsRecord, FilesOnDisk) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::temp_directory_path() / ("kurvana_ini_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / "Kurvana.ini";
  WindowExtent window{800, 600};
  s.xMax = 42;
  EXPECT_EQ(readSettings(path, s, window), "");  // first run: nothing there, nothing changes
  EXPECT_EQ(s.xMax, 42.0L);
  ASSERT_EQ(writeSettings(path, s, window), "");
  EXPECT_EQ(fs::file_size(path), kSettingsSize);
  auto fresh = std::make_unique<PlotState>();
  WindowExtent read;
  ASSERT_EQ(readSettings(path, *fresh, read), "");
  EXPECT_EQ(fresh->xMax, 42.0L);
  EXPECT_EQ(read.width, 800);
  EXPECT_NE(writeSettings(folder / "no" / "Kurvana.ini", s, window), "");
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kurvana
