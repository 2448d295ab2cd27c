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
  std::vector<long double> values = {0.0L, -0.0L, 1.0L, -2.5L, 1e-4940L, -3.6e-4951L,
                                     std::numeric_limits<long double>::max(),
                                     std::numeric_limits<long double>::min(),
                                     // Around the smallest normal: the largest
                                     // denormals have their top bit clear.
                                     std::numeric_limits<long double>::min() / 2,
                                     std::nextafter(std::numeric_limits<long double>::min(), 0.0L),
                                     -std::numeric_limits<long double>::denorm_min(), 0.1L, 1e300L};
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

// The offsets are the record's, written out: a named constant that moved
// would move a field out of place in every file already written.
TEST_F(SettingsRecord, DefaultsByteForByte) {
  std::array<std::uint8_t, kSettingsSize> expected{};
  const auto put = [&](std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), expected.begin() + static_cast<std::ptrdiff_t>(at));
  };
  put(0, {0x00, 0x04, 0, 0});  // window width 1024
  put(4, {0x00, 0x03, 0, 0});  // height 768
  // xMin 0 stays all zero bytes at 8; xMax 10, yMin -5, yMax 5:
  put(18, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40});
  put(28, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0xC0});
  put(38, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x01, 0x40});
  // auto scale, lines, filled, circle, red, green, blue, antialias, language,
  // two functions
  put(48, {22, 22, 22, 22, 0x60, 0x60, 0xFF, 22, 22, 22});
  put(68, {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x02, 0x40});  // zMax 10 (zMin 0 at 58)
  put(78, {0xE8, 0x03, 0, 0});                       // zCount 1000
  // white background, grid, axes, dark negative, report, polar, thick
  put(82, {22, 11, 11, 11, 22, 22, 22});
  EXPECT_EQ(encodeSettings(s, WindowExtent{}), expected);
}

// Each field changes only its own bytes, in writing and in reading.
TEST_F(SettingsRecord, EachFieldOwnsItsBytes) {
  struct Case {
    const char* name;
    std::size_t offset;
    std::size_t size;
    void (*change)(PlotState&, WindowExtent&);
  };
  const Case cases[] = {
      {"width", 0, 4, [](PlotState&, WindowExtent& w) { w.width = 0x01020304; }},
      {"height", 4, 4, [](PlotState&, WindowExtent& w) { w.height = -2; }},
      {"xMin", 8, 10, [](PlotState& s, WindowExtent&) { s.xMin = 1.5L; }},
      {"xMax", 18, 10, [](PlotState& s, WindowExtent&) { s.xMax = 1.5L; }},
      {"yMin", 28, 10, [](PlotState& s, WindowExtent&) { s.yMin = 1.5L; }},
      {"yMax", 38, 10, [](PlotState& s, WindowExtent&) { s.yMax = 1.5L; }},
      {"autoScale", 48, 1, [](PlotState& s, WindowExtent&) { s.optAutoScale = flagOn; }},
      {"lines", 49, 1, [](PlotState& s, WindowExtent&) { s.optLines = flagOn; }},
      {"filled", 50, 1, [](PlotState& s, WindowExtent&) { s.optFilled = flagOn; }},
      {"circle", 51, 1, [](PlotState& s, WindowExtent&) { s.optCircle = flagOn; }},
      {"red", 52, 1, [](PlotState& s, WindowExtent&) { setCurveColor(s, 0xFF6001); }},
      {"green", 53, 1, [](PlotState& s, WindowExtent&) { setCurveColor(s, 0xFF0160); }},
      {"blue", 54, 1, [](PlotState& s, WindowExtent&) { setCurveColor(s, 0x016060); }},
      {"antialias", 55, 1, [](PlotState& s, WindowExtent&) { s.optAntialias = flagOn; }},
      {"language", 56, 1, [](PlotState& s, WindowExtent&) { s.optLanguage = flagOn; }},
      {"twoFunctions", 57, 1, [](PlotState& s, WindowExtent&) { s.optTwoFunctions = flagOn; }},
      {"zMin", 58, 10, [](PlotState& s, WindowExtent&) { s.zMin = -1.5L; }},
      {"zMax", 68, 10, [](PlotState& s, WindowExtent&) { s.zMax = 1.5L; }},
      {"zCount", 78, 4, [](PlotState& s, WindowExtent&) { s.zCount = 0x01020304; }},
      {"whiteBack", 82, 1, [](PlotState& s, WindowExtent&) { s.optWhiteBack = flagOn; }},
      {"grid", 83, 1, [](PlotState& s, WindowExtent&) { s.optGrid = flagOff; }},
      {"axes", 84, 1, [](PlotState& s, WindowExtent&) { s.optAxes = flagOff; }},
      {"darkNegative", 85, 1, [](PlotState& s, WindowExtent&) { s.optDarkNegative = flagOff; }},
      {"report", 86, 1, [](PlotState& s, WindowExtent&) { s.optReport = flagOn; }},
      {"polar", 87, 1, [](PlotState& s, WindowExtent&) { s.optPolar = flagOn; }},
      {"thick", 88, 1, [](PlotState& s, WindowExtent&) { s.optThick = flagOn; }},
  };
  const auto before = encodeSettings(s, WindowExtent{});
  for (const Case& c : cases) {
    auto changed = std::make_unique<PlotState>();
    WindowExtent window;
    c.change(*changed, window);
    const auto after = encodeSettings(*changed, window);
    for (std::size_t i = 0; i < kSettingsSize; ++i) {
      const bool own = i >= c.offset && i < c.offset + c.size;
      if (!own) {
        EXPECT_EQ(after[i], before[i]) << c.name << " wrote byte " << i;
      }
    }
    EXPECT_NE(std::vector(after.begin() + static_cast<std::ptrdiff_t>(c.offset),
                          after.begin() + static_cast<std::ptrdiff_t>(c.offset + c.size)),
              std::vector(before.begin() + static_cast<std::ptrdiff_t>(c.offset),
                          before.begin() + static_cast<std::ptrdiff_t>(c.offset + c.size)))
        << c.name;
    // Read back into a default state: the same record again.
    auto read = std::make_unique<PlotState>();
    WindowExtent readWindow;
    decodeSettings(after, *read, readWindow);
    EXPECT_EQ(encodeSettings(*read, readWindow), after) << c.name;
  }
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
  EXPECT_EQ(readSettings(path, s, window).message(),
            "");  // first run: nothing there, nothing changes
  EXPECT_EQ(s.xMax, 42.0L);
  ASSERT_EQ(writeSettings(path, s, window).message(), "");
  EXPECT_EQ(fs::file_size(path), kSettingsSize);
  auto fresh = std::make_unique<PlotState>();
  WindowExtent read;
  ASSERT_EQ(readSettings(path, *fresh, read).message(), "");
  EXPECT_EQ(fresh->xMax, 42.0L);
  EXPECT_EQ(read.width, 800);
  const fs::path missing = folder / "no" / "Kurvana.ini";
  EXPECT_EQ(writeSettings(missing, s, window).message(),
            "Cannot write \"" + missing.string() + "\": No such file or directory");
  EXPECT_FALSE(fs::exists(folder / "no"));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kurvana
