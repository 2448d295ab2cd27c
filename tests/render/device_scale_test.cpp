// Pictures at a device scale: lengths rounded half to even, the frame, the
// wide and dotted pens, the arrowheads and the ring at their scaled sizes.
#include <gtest/gtest.h>

#include "plot/fields.h"
#include "render/aa_line.h"
#include "render/artwork.h"
#include "render/bitmap.h"
#include "render/plot_frame.h"
#include "render/plot_geometry.h"

namespace kurvana {
namespace {

constexpr Color kInk = 0x123456;

TEST(DeviceScale, LengthsRoundHalvesToEven) {
  struct Case {
    int n;
    double scale;
    int expected;
  };
  for (const Case c : {Case{20, 1, 20}, Case{20, 1.25, 25}, Case{20, 1.5, 30}, Case{20, 2, 40},
                       Case{20, 3, 60}, Case{1, 1.5, 2}, Case{1, 2.5, 2}, Case{3, 1.5, 4},
                       Case{11, 1.5, 16}, Case{15, 1.5, 22}, Case{2, 1.25, 2}, Case{12, 1.25, 15},
                       Case{824, 1.25, 1030}, Case{668, 1.5, 1002}}) {
    EXPECT_EQ(scaledPixels(c.n, c.scale), c.expected) << c.n << " at " << c.scale;
  }
}

// Scale 2 over an extent of 100: margin 40, bands 36 .. 39 and 140 .. 143.
TEST(DeviceScale, GeometryBandsAndFarPositionScale) {
  const PlotGeometry g{100, 100, 0, 1, 0, 1, 2};
  EXPECT_EQ(g.margin(), 40);
  EXPECT_EQ(g.edgeBand(), 4);
  EXPECT_EQ(g.parkBeyondBands(35.999L, 100), 0);
  EXPECT_EQ(g.parkBeyondBands(36, 100), 36);
  EXPECT_EQ(g.parkBeyondBands(143, 100), 143);
  EXPECT_EQ(g.parkBeyondBands(143.001L, 100), 180);
  EXPECT_EQ(g.snapToEdge(36, 100), 40);
  EXPECT_EQ(g.snapToEdge(139.5L, 100), 139);
  EXPECT_EQ(g.snapToEdge(143, 100), 139);
  EXPECT_FALSE(g.insidePlot(39.999L, 100));
  EXPECT_TRUE(g.insidePlot(139, 100));
  EXPECT_FALSE(g.insidePlot(139.001L, 100));
  EXPECT_EQ(g.imageRow(g.rowOffset(1)), 40);
  EXPECT_EQ(g.imageRow(g.rowOffset(0)), 139);
  EXPECT_EQ(g.imageColumn(g.columnOffset(1)), 139);
  // Beyond the largest plot of the scale, which 3000 is not.
  EXPECT_EQ(g.farPosition(), 6000);
  EXPECT_EQ(g.roundedOrFar(1.0L / 0.0L), 6000);
  // At scale 1 the members are the free functions.
  const PlotGeometry one{100, 100, 0, 1, 0, 1};
  for (const long double v : {17.999L, 18.0L, 19.5L, 119.5L, 121.0L, 121.001L}) {
    EXPECT_EQ(one.parkBeyondBands(v, 100), parkBeyondBands(v, 100)) << v;
    EXPECT_EQ(one.snapToEdge(v, 100), snapToEdge(v, 100)) << v;
    EXPECT_EQ(one.insidePlot(v, 100), insidePlot(v, 100)) << v;
  }
  EXPECT_EQ(one.farPosition(), kFarPosition);
}

void line(Canvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.moveTo(x1, y1);
  canvas.lineTo(x2, y2);
}

// Rows of column x painted in `ink`, top to bottom.
std::vector<int> inkedRows(const Bitmap& b, int x) {
  std::vector<int> rows;
  for (int y = 0; y < b.height(); ++y) {
    if (b.pixel(x, y) == kInk) rows.push_back(y);
  }
  return rows;
}

TEST(DeviceScale, WidePensReachHalfTheirWidthUpAndLeft) {
  for (const int width : {3, 4}) {
    Bitmap b(20, 20, 0);
    Canvas canvas(b);
    canvas.pen = Pen{kInk, width, PenStyle::kSolid};
    line(canvas, 2, 10, 12, 10);  // a span
    line(canvas, 15, 2, 16, 3);   // a single Bresenham point
    const std::vector<int> expected =
        width == 3 ? std::vector<int>{9, 10, 11} : std::vector<int>{8, 9, 10, 11};
    EXPECT_EQ(inkedRows(b, 5), expected) << width;
    EXPECT_EQ(b.pixel(2 - width / 2, 10), kInk) << width;
    EXPECT_EQ(b.pixel(2 - width / 2 - 1, 10), 0u) << width;
    EXPECT_EQ(b.pixel(11 + width - width / 2, 10), 0u) << width;  // the end stays unpainted
    EXPECT_EQ(b.pixel(15 - width / 2, 2 - width / 2), kInk) << width;
    EXPECT_EQ(b.pixel(15 - width / 2 + width - 1, 2 - width / 2 + width - 1), kInk) << width;
    EXPECT_EQ(b.pixel(15 - width / 2 + width, 2), 0u) << width;
  }
}

TEST(DeviceScale, WideDottedLinesKeepTheirDashAlongTheLine) {
  Bitmap b(20, 20, 0);
  Canvas canvas(b);
  canvas.pen = Pen{kInk, 2, PenStyle::kDotted, 2};
  line(canvas, 6, 1, 6, 13);
  // Two on, two off from the start; the end point is not painted.
  EXPECT_EQ(inkedRows(b, 6), (std::vector<int>{1, 2, 5, 6, 9, 10}));
  EXPECT_EQ(inkedRows(b, 5), (std::vector<int>{1, 2, 5, 6, 9, 10}));
  EXPECT_TRUE(inkedRows(b, 7).empty());
  EXPECT_TRUE(inkedRows(b, 4).empty());
}

TEST(DeviceScale, WideAntialiasedLinesAreParallelLinesAcross) {
  const auto rows = [](int width) {
    Bitmap b(30, 20, 0);
    Canvas canvas(b);
    canvas.pen.color = 0xFFFFFF;
    antialiasedLine(canvas, 2, 10, 25, 10, width);
    std::vector<int> lit;
    for (int y = 0; y < 20; ++y) {
      if (b.pixel(12, y) != 0) lit.push_back(y);
    }
    return lit;
  };
  EXPECT_EQ(rows(1), (std::vector<int>{10}));
  EXPECT_EQ(rows(2), (std::vector<int>{9, 10, 11}));  // at 9.5 and 10.5
  EXPECT_EQ(rows(3), (std::vector<int>{9, 10, 11}));
}

TEST(DeviceScale, ArtworkGrowsWithTheScale) {
  EXPECT_EQ(&artwork(1), &artwork());
  const Artwork& one = artwork(1);
  const Artwork& two = artwork(2);
  EXPECT_EQ(&two, &artwork(2));  // built once
  ASSERT_EQ(two.cursorRing.width(), 30);
  ASSERT_EQ(two.cursorRing.height(), 30);
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      ASSERT_EQ(two.cursorRing.pixel(x, y), one.cursorRing.pixel(x / 2, y / 2)) << x << "," << y;
    }
  }
  EXPECT_EQ(artwork(1.5).cursorRing.width(), 22);
  EXPECT_EQ(artwork(1.5).arrowUpOnBlack.width(), 16);
  const Bitmap& right = two.arrowRightOnBlack;
  ASSERT_EQ(right.width(), 22);
  // Mirror images about the middle row, the tip's two rows brightest on the
  // right; the upward one is the right one turned.
  for (int y = 0; y < 22; ++y) {
    for (int x = 0; x < 22; ++x) {
      EXPECT_EQ(right.pixel(x, y), right.pixel(x, 21 - y)) << x << "," << y;
      EXPECT_EQ(two.arrowUpOnBlack.pixel(x, y), right.pixel(21 - y, x)) << x << "," << y;
    }
  }
  // The base on window column 1 covers device columns 2 and 3, the tip on
  // window column 9 device columns 18 and 19.
  EXPECT_EQ(right.pixel(1, 10), 0u);
  EXPECT_NE(right.pixel(2, 10), 0u);
  EXPECT_NE(right.pixel(19, 10), 0u);
  EXPECT_EQ(right.pixel(20, 10), 0u);
}

// An empty plot of 240 x 200 device pixels at scale 2: margin 40, plot
// 160 x 120, the ring of the frame four pixels wide.
class ScaledFrame : public ::testing::Test {
 protected:
  void SetUp() override {
    state.scale = 2;
    state.xMin = -1;
    state.xMax = 1;
    state.yMin = -1;
    state.yMax = 1;
    applyColourScheme(state);
  }
  PlotFrame paint() {
    RenderContext context{state, image, artwork(state.scale), nullptr, "."};
    return paintEmptyPlot(context, Size{240, 200});
  }
  PlotState state;
  Bitmap image;
};

TEST_F(ScaledFrame, FrameRingLiesJustOutsideThePlot) {
  state.optGrid = flagOff;
  state.optAxes = flagOff;
  const PlotFrame frame = paint();
  EXPECT_EQ(frame.geometry.width, 160);
  EXPECT_EQ(frame.geometry.height, 120);
  EXPECT_EQ(frame.geometry.scale, 2);
  const Color grid = state.gridColor;
  for (const int y : {36, 39, 160, 163}) {
    EXPECT_EQ(image.pixel(100, y), grid) << y;
  }
  for (const int y : {35, 40, 159, 164}) {
    EXPECT_EQ(image.pixel(100, y), state.backColor) << y;
  }
  for (const int x : {36, 39, 200, 203}) {
    EXPECT_EQ(image.pixel(x, 100), grid) << x;
    EXPECT_EQ(image.pixel(x, 36), grid) << x;  // corners closed
  }
  for (const int x : {35, 40, 199, 204}) EXPECT_EQ(image.pixel(x, 100), state.backColor) << x;
}

TEST_F(ScaledFrame, AxesTwoPixelsWideAndArrowTipsOnTheEdges) {
  state.optGrid = flagOff;
  const PlotFrame frame = paint();
  // x from -1 to 1 over 160 columns: the first x >= 0 is column 80.
  ASSERT_EQ(frame.yAxisColumn, 120);
  ASSERT_EQ(frame.xAxisRow, 99);
  // Each axis covers the device pixels of its window pixel: two columns
  // (rows) from its own on, right of (below) it.
  EXPECT_EQ(image.pixel(120, 150), state.axesColor);
  EXPECT_EQ(image.pixel(121, 150), state.axesColor);
  EXPECT_EQ(image.pixel(122, 150), state.backColor);
  EXPECT_EQ(image.pixel(119, 150), state.backColor);
  EXPECT_EQ(image.pixel(60, 99), state.axesColor);
  EXPECT_EQ(image.pixel(60, 100), state.axesColor);
  EXPECT_EQ(image.pixel(60, 101), state.backColor);
  EXPECT_EQ(image.pixel(60, 98), state.backColor);
  // Both axes stay off the frame.
  EXPECT_EQ(image.pixel(120, 39), state.gridColor);
  EXPECT_EQ(image.pixel(120, 40), state.axesColor);
  EXPECT_EQ(image.pixel(39, 99), state.gridColor);
  EXPECT_EQ(image.pixel(40, 99), state.axesColor);
  // The right arrowhead's tip ends on the last plot column, the upward one's
  // on the first plot row, each centred on its two-pixel axis.
  int rightmost = 0;
  for (int x = 0; x < 240; ++x) {
    if (image.pixel(x, 99) != state.backColor && image.pixel(x, 99) != state.gridColor) rightmost = x;
  }
  EXPECT_EQ(rightmost, 199);
  int topmost = 200;
  for (int y = 199; y >= 0; --y) {
    if (image.pixel(120, y) != state.backColor && image.pixel(120, y) != state.gridColor) topmost = y;
  }
  EXPECT_EQ(topmost, 40);
  // The right one mirrored about the x axis' middle, 99.5; the upward one
  // about the y axis' middle, 120.5.
  for (int x = 170; x < 200; ++x) {
    for (int k = 0; k <= 11; ++k) EXPECT_EQ(image.pixel(x, 100 + k), image.pixel(x, 99 - k)) << x;
  }
  for (int y = 40; y < 62; ++y) {
    for (int k = 0; k <= 11; ++k) EXPECT_EQ(image.pixel(121 + k, y), image.pixel(120 - k, y)) << y;
  }
}

}  // namespace
}  // namespace kurvana
