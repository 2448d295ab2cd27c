// Wu's antialiased line: intensities of the worked cases and symmetry.
#include "render/aa_line.h"

#include <gtest/gtest.h>

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
  for (int i = 0; i < times; ++i) aaline(canvas, x1, y1, x2, y2);
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
  aaline(canvas, 10, 20, 30, 20);
  EXPECT_EQ(b.pixel(15, 20), 0x0000FFu);
  EXPECT_EQ(b.pixel(10, 20), 0x8080FFu);  // half way from white to red
}

}  // namespace
}  // namespace kurvana
