// Wu's antialiased line: intensities of the worked cases and symmetry.
#include "render/aa_line.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace kurvana {
namespace {

constexpr Color kWhite = 0xFFFFFF;

// The blend intensity of a white line over black, read back from the red channel.
double intensity(const Bitmap& b, int x, int y) {
  return (b.pixel(x, y) & 0xFF) / 255.0;
}

Bitmap line(double x1, double y1, double x2, double y2, int times = 1) {
  Bitmap b(200, 200, 0);
  Canvas canvas(b);
  canvas.pen.color = kWhite;
  for (int i = 0; i < times; ++i) antialiasedLine(canvas, x1, y1, x2, y2);
  return b;
}

TEST(AaLine, HorizontalSegmentIsSolidWithHalfEnds) {
  const Bitmap b = line(20, 50, 30, 50);
  for (int x = 21; x <= 29; ++x) {
    EXPECT_EQ(b.pixel(x, 50), kWhite) << x;
    EXPECT_EQ(b.pixel(x, 51), 0u) << x;
  }
  EXPECT_EQ(b.pixel(20, 50), 0x808080u);  // 127.5 rounds to the even 128
  EXPECT_EQ(b.pixel(30, 50), 0x808080u);
  EXPECT_EQ(b.pixel(31, 50), 0u);
}

TEST(AaLine, VerticalSegmentSwapsTheAxes) {
  const Bitmap b = line(40, 20, 40, 30);
  for (int y = 21; y <= 29; ++y) EXPECT_EQ(b.pixel(40, y), kWhite) << y;
  EXPECT_EQ(b.pixel(40, 20), 0x808080u);
  EXPECT_EQ(b.pixel(40, 30), 0x808080u);
  EXPECT_EQ(b.pixel(41, 25), 0u);
}

TEST(AaLine, DirectionDoesNotMatter) {
  const Bitmap forward = line(20.3, 40.7, 90.2, 75.1);
  const Bitmap backward = line(90.2, 75.1, 20.3, 40.7);
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) ASSERT_EQ(forward.pixel(x, y), backward.pixel(x, y)) << x;
  }
}

TEST(AaLine, FractionalRowSplitsTheWeight) {
  // Ends at columns 20 and 21 each have xgap 0.5: row 100 gets 0.75 of it,
  // row 101 the remaining 0.25.
  const Bitmap b = line(20, 100.25, 21, 100.25);
  EXPECT_NEAR(intensity(b, 20, 100), 0.375, 0.5 / 255);
  EXPECT_NEAR(intensity(b, 20, 101), 0.125, 0.5 / 255);
  EXPECT_NEAR(intensity(b, 21, 100), 0.375, 0.5 / 255);
  EXPECT_NEAR(intensity(b, 21, 101), 0.125, 0.5 / 255);
}

TEST(AaLine, DiagonalKeepsXAsTheMajorAxis) {
  // |dx| = |dy| is not steep: the first end is the column at x = 20 with xgap
  // 0.5 split 0.75 / 0.25 between rows 20 and 21. Taken as steep, the end would
  // be row 20, split between columns 19 and 20.
  const Bitmap b = line(20, 20.25, 30, 30.25);
  EXPECT_EQ(b.pixel(20, 20), 0x606060u);  // 95.625
  EXPECT_EQ(b.pixel(20, 21), 0x202020u);  // 31.875
  EXPECT_EQ(b.pixel(19, 20), 0u);
  EXPECT_EQ(b.pixel(25, 25), 0xBFBFBFu);  // 191.25
}

TEST(AaLine, StartsLeftOfTheBitmapOnTheirOwnCourse) {
  // Slope 1/2 from x = -1000: at x = 100 the line is exactly on row 150.
  const Bitmap b = line(-1000, -400, 1000, 600);
  EXPECT_EQ(b.pixel(100, 150), kWhite);
  EXPECT_EQ(b.pixel(101, 150), 0x808080u);
  EXPECT_EQ(b.pixel(101, 151), 0x808080u);
}

TEST(AaLine, AbsurdCoordinatesNeitherFailNorHang) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (const auto& [x1, y1, x2, y2] : {std::array{nan, 50.0, 100.0, 50.0},
                                       {20.0, 20.0, inf, 20.0},
                                       {-1e300, 1e300, 1e300, -1e300},
                                       {-1.7e308, 0.0, 1.7e308, 0.0},
                                       {3e9, 3e9, 3e9 + 1, 3e9}}) {
    line(x1, y1, x2, y2);
  }
  // A horizontal line across the whole bitmap still paints every column.
  const Bitmap b = line(-1e300, 50, 1e300, 50);
  EXPECT_EQ(b.pixel(0, 50), kWhite);
  EXPECT_EQ(b.pixel(199, 50), kWhite);
}

TEST(AaLine, BlendsAccumulate) {
  const Bitmap once = line(20, 50, 30, 50);
  const Bitmap twice = line(20, 50, 30, 50, 2);
  EXPECT_EQ(once.pixel(20, 50), 0x808080u);
  EXPECT_EQ(twice.pixel(20, 50), 0xC0C0C0u);  // 128 + 0.5 * 127 = 191.5 -> 192
}

TEST(AaLine, CoincidingEndsPaintOnlyTheEndBlends) {
  const Bitmap b = line(50, 60, 50, 60);
  int touched = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 200; ++x) touched += b.pixel(x, y) != 0;
  }
  EXPECT_LE(touched, 4);
  line(5000, -3, 5000, -3);  // far outside: clipped, no crash
}

TEST(AaLine, BlendsTowardsThePenColourPerChannel) {
  Bitmap b(50, 50, 0xFFFFFF);
  Canvas canvas(b);
  canvas.pen.color = 0x0000FF;  // red
  antialiasedLine(canvas, 10, 20, 30, 20);
  EXPECT_EQ(b.pixel(15, 20), 0x0000FFu);
  EXPECT_EQ(b.pixel(10, 20), 0x8080FFu);  // half way from white to red
}

}  // namespace
}  // namespace kurvana
