// The raster canvas: pixel storage, rectangles, transparent drawing, copies,
// and the pen conventions of lineTo and outlineRect.
#include "render/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kurvana {
namespace {

constexpr Color kInk = 0x123456;
constexpr Color kPaper = 0x0A0B0C;

using Points = std::set<std::pair<int, int>>;

// Every pixel of `bitmap` that differs from `background`.
Points changed(const Bitmap& bitmap, Color background) {
  Points points;
  for (int y = 0; y < bitmap.height(); ++y) {
    for (int x = 0; x < bitmap.width(); ++x) {
      if (bitmap.pixel(x, y) != background) points.insert({x, y});
    }
  }
  return points;
}

std::string describe(const Points& points) {
  std::string text;
  for (const auto& [x, y] : points) text += "(" + std::to_string(x) + "," + std::to_string(y) + ")";
  return text;
}

Points rectangle(int left, int top, int right, int bottom) {
  Points points;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) points.insert({x, y});
  }
  return points;
}

TEST(Bitmap, StoresOpaqueTopByteAndReadsPlainColours) {
  Bitmap bitmap(3, 2, 0xFFABCDEF);  // stray top byte in the fill is dropped
  EXPECT_EQ(bitmap.pixel(0, 0), 0xABCDEFu);
  bitmap.setPixel(1, 1, 0x7F010203);
  EXPECT_EQ(bitmap.pixel(1, 1), 0x010203u);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bitmap.data()[i] >> 24, 0xFFu) << "word " << i;
  bitmap.fillRect(0, 0, 3, 2, 0);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(bitmap.data()[i], 0xFF000000u) << "word " << i;
}

// The memory is what the screen and BMP rows hold: bytes B, G, R, 0xFF, from
// every way of painting, and each accessor gives the plain colour back.
TEST(Bitmap, MemoryHoldsBlueGreenRedOpaque) {
  const Color c = 0x123456;  // blue 0x12, green 0x34, red 0x56
  const std::uint8_t expected[4] = {0x12, 0x34, 0x56, 0xFF};
  const auto bytesOf = [](const Bitmap& b, int x, int y) {
    std::uint8_t out[4];
    std::memcpy(out, b.data() + static_cast<std::size_t>(y) * b.width() + x, 4);
    return std::vector<std::uint8_t>(out, out + 4);
  };
  const std::vector<std::uint8_t> want(expected, expected + 4);
  Bitmap filled(2, 2, c);
  EXPECT_EQ(bytesOf(filled, 1, 1), want) << "constructor fill";
  Bitmap b(4, 3, 0);
  b.reset(4, 3, c);
  EXPECT_EQ(bytesOf(b, 3, 2), want) << "reset";
  b.reset(4, 3, 0);
  b.setPixel(0, 0, c);
  EXPECT_EQ(bytesOf(b, 0, 0), want) << "setPixel";
  b.fillRect(1, 1, 3, 2, c | 0xAB000000u);
  EXPECT_EQ(bytesOf(b, 2, 1), want) << "fillRect";
  EXPECT_EQ(b.pixel(2, 1), c);
  // The key of drawTransparent is a colour too: red and blue differ in it, so
  // a key compared with the stored word unswapped would keep the wrong ones.
  Bitmap picture(2, 1, 0x0000FF);
  picture.setPixel(1, 0, 0xFF0000);
  Bitmap target(2, 1, 0x00FF00);
  target.drawTransparent(0, 0, picture, 0x0000FF);
  EXPECT_EQ(target.pixel(0, 0), 0x00FF00u) << "the key's pixel stays";
  EXPECT_EQ(target.pixel(1, 0), 0xFF0000u);
  EXPECT_EQ(bytesOf(target, 1, 0), (std::vector<std::uint8_t>{0xFF, 0, 0, 0xFF}));
  Bitmap copy(2, 1, 0);
  copy.copyRect(target, 0, 0, 2, 1, 0, 0);
  EXPECT_EQ(copy.pixel(1, 0), 0xFF0000u);
}

TEST(Bitmap, OutsidePixelsReadZeroAndIgnoreWrites) {
  Bitmap bitmap(4, 3, kPaper);
  for (const auto& [x, y] :
       std::vector<std::pair<int, int>>{{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {-100, 100}}) {
    EXPECT_EQ(bitmap.pixel(x, y), 0u) << x << "," << y;
    bitmap.setPixel(x, y, kInk);
  }
  EXPECT_TRUE(changed(bitmap, kPaper).empty());
}

TEST(Bitmap, NegativeOrZeroSizeIsEmpty) {
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 5}, {5, 0}, {-3, 4}, {-1, -1}}) {
    Bitmap bitmap(w, h);
    EXPECT_TRUE(bitmap.empty()) << w << "x" << h;
    bitmap.fillRect(-10, -10, 10, 10, kInk);
    bitmap.setPixel(0, 0, kInk);
    EXPECT_EQ(bitmap.pixel(0, 0), 0u);
  }
}

TEST(Bitmap, FillRectExcludesRightAndBottomAndClips) {
  struct Case {
    int left, top, right, bottom;
    Points expected;
  };
  const std::vector<Case> cases = {
      {1, 1, 3, 4, rectangle(1, 1, 3, 4)},
      {2, 2, 2, 5, {}},  // zero width
      {3, 3, 1, 1, {}},  // reversed
      {-5, -5, 2, 1, rectangle(0, 0, 2, 1)},
      {4, 3, 100, 100, rectangle(4, 3, 6, 5)},
      {-100, -100, 100, 100, rectangle(0, 0, 6, 5)},
      {6, 0, 9, 5, {}},  // wholly right of the bitmap
  };
  for (const Case& c : cases) {
    Bitmap bitmap(6, 5, kPaper);
    bitmap.fillRect(c.left, c.top, c.right, c.bottom, kInk);
    EXPECT_EQ(changed(bitmap, kPaper), c.expected)
        << "fillRect(" << c.left << "," << c.top << "," << c.right << "," << c.bottom
        << ") painted " << describe(changed(bitmap, kPaper));
  }
}

TEST(Bitmap, DrawTransparentSkipsTheTransparentColourAndClips) {
  Bitmap picture(3, 3, 0);
  picture.setPixel(0, 0, 0x0000FF);
  picture.setPixel(2, 2, 0x00FF00);
  picture.setPixel(1, 1, 0xFFFFFF);

  Bitmap target(5, 5, kPaper);
  target.drawTransparent(1, 1, picture, 0);
  EXPECT_EQ(target.pixel(1, 1), 0x0000FFu);
  EXPECT_EQ(target.pixel(2, 2), 0xFFFFFFu);
  EXPECT_EQ(target.pixel(3, 3), 0x00FF00u);
  EXPECT_EQ(changed(target, kPaper).size(), 3u);

  // Half off the top-left corner: only the bottom-right pixel lands.
  Bitmap corner(5, 5, kPaper);
  corner.drawTransparent(-2, -2, picture, 0);
  EXPECT_EQ(changed(corner, kPaper), (Points{{0, 0}}));
  EXPECT_EQ(corner.pixel(0, 0), 0x00FF00u);

  // A transparent colour with a stray top byte still matches.
  Bitmap white(3, 3, kPaper);
  white.drawTransparent(0, 0, Bitmap(3, 3, 0xFFFFFF), 0xFFFFFFFF);
  EXPECT_TRUE(changed(white, kPaper).empty());
}

TEST(Bitmap, CopyRectCopiesAndSkipsWhatLiesOutsideEitherBitmap) {
  Bitmap source(4, 4, 0);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) source.setPixel(x, y, static_cast<Color>(0x10 * y + x + 1));
  }
  struct Case {
    int srcX, srcY, w, h, dstX, dstY;
    Points expected;  // destination pixels written
  };
  const std::vector<Case> cases = {
      {0, 0, 2, 2, 1, 1, rectangle(1, 1, 3, 3)},
      {2, 2, 4, 4, 0, 0, rectangle(0, 0, 2, 2)},    // source runs out
      {0, 0, 4, 4, 3, 3, rectangle(3, 3, 5, 5)},    // destination runs out
      {-1, -1, 3, 3, 0, 0, rectangle(1, 1, 3, 3)},  // source starts outside
      {0, 0, 3, 3, -2, -1, rectangle(0, 0, 1, 2)},  // destination starts outside
      {5, 5, 2, 2, 0, 0, {}},
  };
  for (const Case& c : cases) {
    Bitmap target(5, 5, kPaper);
    target.copyRect(source, c.srcX, c.srcY, c.w, c.h, c.dstX, c.dstY);
    const Points written = changed(target, kPaper);
    EXPECT_EQ(written, c.expected)
        << "copyRect(" << c.srcX << "," << c.srcY << "," << c.w << "," << c.h << "," << c.dstX
        << "," << c.dstY << ") wrote " << describe(written);
    for (const auto& [x, y] : written) {
      EXPECT_EQ(target.pixel(x, y), source.pixel(x - c.dstX + c.srcX, y - c.dstY + c.srcY))
          << "at " << x << "," << y;
    }
  }
}

// Points painted by one lineTo on a fresh bitmap.
Points line(int x0, int y0, int x1, int y1, Pen pen) {
  Bitmap bitmap(40, 40, kPaper);
  Canvas canvas(bitmap);
  canvas.pen = pen;
  canvas.moveTo(x0, y0);
  canvas.lineTo(x1, y1);
  return changed(bitmap, kPaper);
}

TEST(Canvas, LineToLeavesTheEndPointUnpainted) {
  struct Case {
    int x0, y0, x1, y1;
    Points expected;
  };
  const std::vector<Case> cases = {
      {5, 5, 9, 5, {{5, 5}, {6, 5}, {7, 5}, {8, 5}}},
      {9, 5, 5, 5, {{9, 5}, {8, 5}, {7, 5}, {6, 5}}},
      {5, 5, 5, 8, {{5, 5}, {5, 6}, {5, 7}}},
      {5, 8, 5, 5, {{5, 8}, {5, 7}, {5, 6}}},
      {5, 5, 8, 8, {{5, 5}, {6, 6}, {7, 7}}},
      {8, 8, 5, 5, {{8, 8}, {7, 7}, {6, 6}}},
      {5, 8, 8, 5, {{5, 8}, {6, 7}, {7, 6}}},
      // Halfway between two rows (or columns) the step goes diagonally.
      {5, 5, 7, 6, {{5, 5}, {6, 6}}},
      {5, 5, 6, 7, {{5, 5}, {6, 6}}},
      {5, 5, 6, 5, {{5, 5}}},
      {5, 5, 5, 5, {}},
  };
  for (const Case& c : cases) {
    const Points painted = line(c.x0, c.y0, c.x1, c.y1, Pen{kInk, 1, PenStyle::kSolid});
    EXPECT_EQ(painted, c.expected) << "(" << c.x0 << "," << c.y0 << ") to (" << c.x1 << "," << c.y1
                                   << ") painted " << describe(painted);
  }
}

TEST(Canvas, ShallowLineHasOnePixelPerColumnAndItsEnds) {
  const Points painted = line(2, 3, 12, 7, Pen{kInk, 1, PenStyle::kSolid});
  EXPECT_EQ(painted.size(), 10u) << describe(painted);
  EXPECT_TRUE(painted.count({2, 3})) << describe(painted);
  EXPECT_FALSE(painted.count({12, 7})) << describe(painted);
  std::set<int> columns;
  for (const auto& [x, y] : painted) columns.insert(x);
  EXPECT_EQ(columns.size(), 10u) << describe(painted);
}

TEST(Canvas, LineToMovesThePenSoPathsJoin) {
  Bitmap bitmap(10, 10, kPaper);
  Canvas canvas(bitmap);
  canvas.pen = Pen{kInk, 1, PenStyle::kSolid};
  canvas.moveTo(1, 1);
  canvas.lineTo(4, 1);
  canvas.lineTo(4, 3);
  EXPECT_EQ(changed(bitmap, kPaper), (Points{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}));
}

TEST(Canvas, WidthTwoPenReachesOnePixelUpAndLeft) {
  struct Case {
    int x0, y0, x1, y1;
    Points expected;
  };
  const std::vector<Case> cases = {
      {5, 10, 9, 10, rectangle(4, 9, 9, 11)},   // rows y - 1 and y
      {9, 10, 5, 10, rectangle(5, 9, 10, 11)},  // reversed: the start is painted
      {10, 5, 10, 9, rectangle(9, 4, 11, 9)},
      {5, 5, 7, 7, {{4, 4}, {5, 4}, {4, 5}, {5, 5}, {6, 5}, {5, 6}, {6, 6}}},
  };
  for (const Case& c : cases) {
    const Points painted = line(c.x0, c.y0, c.x1, c.y1, Pen{kInk, 2, PenStyle::kSolid});
    EXPECT_EQ(painted, c.expected) << "(" << c.x0 << "," << c.y0 << ") to (" << c.x1 << "," << c.y1
                                   << ") painted " << describe(painted);
  }
}

TEST(Canvas, DottedLinePaintsEveryOtherPointFromTheFirst) {
  struct Case {
    int x0, y0, x1, y1;
    Points expected;
  };
  const std::vector<Case> cases = {
      {2, 4, 9, 4, {{2, 4}, {4, 4}, {6, 4}, {8, 4}}},
      {9, 4, 2, 4, {{9, 4}, {7, 4}, {5, 4}, {3, 4}}},
      {4, 2, 4, 8, {{4, 2}, {4, 4}, {4, 6}}},
      {1, 1, 6, 6, {{1, 1}, {3, 3}, {5, 5}}},
  };
  for (const Case& c : cases) {
    const Points painted = line(c.x0, c.y0, c.x1, c.y1, Pen{kInk, 1, PenStyle::kDotted});
    EXPECT_EQ(painted, c.expected) << "(" << c.x0 << "," << c.y0 << ") to (" << c.x1 << "," << c.y1
                                   << ") painted " << describe(painted);
  }
}

TEST(Canvas, LinesFarOutsideTheBitmapAreClipped) {
  Bitmap bitmap(10, 10, kPaper);
  Canvas canvas(bitmap);
  canvas.pen = Pen{kInk, 2, PenStyle::kSolid};
  canvas.moveTo(-100, 20);
  canvas.lineTo(-100, 200);  // an axis parked at -100
  canvas.moveTo(-5, 5);
  canvas.lineTo(30, 5);
  EXPECT_EQ(changed(bitmap, kPaper), rectangle(0, 4, 10, 6));
}

TEST(Canvas, WidthTwoOutlineFramesThePlotArea) {
  constexpr int kW = 7;  // plot width and height of a tiny plot
  constexpr int kH = 5;
  Bitmap bitmap(kW + 40, kH + 40, kPaper);
  Canvas canvas(bitmap);
  canvas.pen = Pen{kInk, 2, PenStyle::kSolid};
  canvas.outlineRect(19, 19, kW + 22, kH + 22);

  Points frame;
  for (int y = 18; y <= kH + 21; ++y) {
    for (int x = 18; x <= kW + 21; ++x) {
      const bool edgeColumn = x <= 19 || x >= kW + 20;
      const bool edgeRow = y <= 19 || y >= kH + 20;
      if (edgeColumn || edgeRow) frame.insert({x, y});
    }
  }
  const Points painted = changed(bitmap, kPaper);
  EXPECT_EQ(painted, frame) << describe(painted);
}

TEST(Canvas, OutlineOfAnEmptyRectangleDrawsNothing) {
  Bitmap bitmap(10, 10, kPaper);
  Canvas canvas(bitmap);
  canvas.pen = Pen{kInk, 1, PenStyle::kSolid};
  canvas.outlineRect(5, 5, 5, 8);
  canvas.outlineRect(6, 6, 2, 2);
  EXPECT_TRUE(changed(bitmap, kPaper).empty());
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

TEST(BitmapReset, KeepsItsMemoryWhileItFitsAndRefillsEveryPixel) {
  Bitmap b(100, 80, 0x112233);
  b.setPixel(99, 79, 0xABCDEF);
  const std::uint32_t* memory = b.data();
  b.reset(100, 80, 0x445566);
  EXPECT_EQ(b.data(), memory);
  EXPECT_EQ(b.pixel(99, 79), 0x445566u);
  // Smaller: same memory, rows laid out at the new width.
  b.reset(60, 50, 0x000001);
  EXPECT_EQ(b.data(), memory);
  EXPECT_EQ(b.width(), 60);
  b.setPixel(59, 0, 0x0000FF);
  EXPECT_EQ(b.data()[59], 0xFFFF0000u);  // red, stored as 0xFFRRGGBB
  EXPECT_EQ(b.data()[60], 0xFF010000u);  // the first pixel of row 1
  EXPECT_EQ(b.pixel(59, 49), 0x000001u);
  // Larger: every pixel of the new size holds the fill, none of the old picture.
  b.reset(120, 90, 0x777777);
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 120; ++x) ASSERT_EQ(b.pixel(x, y), 0x777777u) << x << "," << y;
  }
  b.reset(0, 0, 0);
  EXPECT_TRUE(b.empty());
}

}  // namespace
}  // namespace kurvana
