// The plot geometry at its boundaries: the edge rows and columns, the zero
// column, the edge bands and the two rounding rules.
#include "render/plot_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kurvana {
namespace {

constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();

// W = 561, H = 361 over -5 .. 5 both ways: a column every 1/56, a row every 1/36.
const PlotGeometry kPlot{561, 361, -5, 5, -5, 5};

TEST(PlotGeometry, RangeEndsLandOnTheEdgePixels) {
  EXPECT_EQ(kPlot.columnOffset(-5), 0);
  EXPECT_EQ(kPlot.columnOffset(5), 560);
  EXPECT_EQ(kPlot.imageColumn(kPlot.columnOffset(-5)), kMargin);
  EXPECT_EQ(kPlot.imageColumn(kPlot.columnOffset(5)), 560 + kMargin);
  // y max is the top row, y min the bottom one, in every row form.
  EXPECT_EQ(kPlot.imageRow(kPlot.rowOffset(5)), kMargin);
  EXPECT_EQ(kPlot.imageRow(kPlot.rowOffset(-5)), 361 + kMargin - 1);
  EXPECT_EQ(kPlot.imageRowFromBottom(kPlot.rowOffset(5)), kMargin);
  EXPECT_EQ(kPlot.plotRowFromTop(kPlot.rowOffset(-5)), 360);
  EXPECT_EQ(kPlot.plotRowFromTop(kPlot.rowOffset(5)), 0);
}

TEST(PlotGeometry, ZeroFallsOnTheMiddleColumnAndBack) {
  EXPECT_EQ(kPlot.columnOffset(0), 280);
  EXPECT_EQ(kPlot.xAt(280), 0);
  EXPECT_EQ(kPlot.xAt(0), -5);
  EXPECT_EQ(kPlot.xAt(560), 5);
  EXPECT_EQ(kPlot.xStep(), 10.0L / 560);
  // A drag divides by W, not W - 1: a full plot width moves by the whole range.
  EXPECT_EQ(kPlot.xDistance(561), 10);
  EXPECT_EQ(kPlot.yDistance(-361), -10);
}

TEST(PlotGeometry, PaintersRoundHalvesToEvenAndParkTheUnmappable) {
  EXPECT_EQ(roundedOrFar(2.5L), 2);
  EXPECT_EQ(roundedOrFar(3.5L), 4);
  EXPECT_EQ(roundedOrFar(-0.5L), 0);
  EXPECT_EQ(roundedOrFar(9.1e18L), 9.1e18L);
  EXPECT_EQ(roundedOrFar(9.2e18L), kFarPosition);  // no long long holds it safely
  EXPECT_EQ(roundedOrFar(kNaN), kFarPosition);
  EXPECT_EQ(roundedOrFar(-kInf), kFarPosition);
  EXPECT_EQ(finiteOrFar(1e30L), 1e30L);
  EXPECT_EQ(finiteOrFar(kInf), kFarPosition);
  // A flat range maps every value to no number, hence far away.
  EXPECT_EQ(finiteOrFar(PlotGeometry{100, 100, 0, 1, 3, 3}.rowOffset(3)), kFarPosition);
}

TEST(PlotGeometry, ExplorerRoundingStopsShortOfAMillionPixels) {
  int out = -1;
  EXPECT_TRUE(nearestPixel(2.5L, out));
  EXPECT_EQ(out, 2);
  EXPECT_TRUE(nearestPixel(-999999999.0L, out));
  EXPECT_EQ(out, -999999999);
  EXPECT_FALSE(nearestPixel(1e9L, out));
  EXPECT_FALSE(nearestPixel(-1e9L, out));
  EXPECT_FALSE(nearestPixel(kNaN, out));
  EXPECT_EQ(out, -999999999);  // a failure leaves the output alone
}

// Bands of two pixels on either side of an extent of 100: 18, 19 and 120, 121.
TEST(PlotGeometry, EdgeBandsSnapAndEverythingBeyondIsParked) {
  constexpr int kExtent = 100;
  EXPECT_EQ(parkBeyondBands(17.999L, kExtent), 0);
  EXPECT_EQ(parkBeyondBands(18, kExtent), 18);
  EXPECT_EQ(parkBeyondBands(121, kExtent), 121);
  EXPECT_EQ(parkBeyondBands(121.001L, kExtent), 140);

  EXPECT_EQ(snapToEdge(18, kExtent), 20);
  EXPECT_EQ(snapToEdge(19.999L, kExtent), 20);
  EXPECT_EQ(snapToEdge(17.999L, kExtent), 17.999L);
  EXPECT_EQ(snapToEdge(20, kExtent), 20);
  EXPECT_EQ(snapToEdge(119, kExtent), 119);
  EXPECT_EQ(snapToEdge(119.001L, kExtent), 119);
  EXPECT_EQ(snapToEdge(121, kExtent), 119);
  EXPECT_EQ(snapToEdge(121.001L, kExtent), 121.001L);

  EXPECT_FALSE(insidePlot(19.999L, kExtent));
  EXPECT_TRUE(insidePlot(20, kExtent));
  EXPECT_TRUE(insidePlot(119, kExtent));
  EXPECT_FALSE(insidePlot(119.001L, kExtent));
  EXPECT_FALSE(insidePlot(kFarPosition, kExtent));
}

TEST(PlotGeometry, ComesFromTheStatesAreaAndRanges) {
  PlotState s;
  s.plotWidth = 784;
  s.plotHeight = 628;
  s.xMin = -1;
  s.xMax = 2;
  s.yMin = -3;
  s.yMax = 4;
  const PlotGeometry g = plotGeometry(s);
  EXPECT_EQ(g.width, 784);
  EXPECT_EQ(g.height, 628);
  EXPECT_EQ(g.columnOffset(2), 783);
  EXPECT_EQ(g.rowOffset(-3), 0);
  EXPECT_EQ(g.rowOffset(4), 627);
}

}  // namespace
}  // namespace kurvana
