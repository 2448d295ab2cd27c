// Zoom steps, the pan drag and its preview as values (the commands on a plot
// drawn through the controller: tests/app/explore_commands_test.cpp).
#include "explore/zoom_pan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "explore/drawn_plot.h"
#include "explore/exploration.h"
#include "plot/fields.h"
#include "plot/range_fields.h"
#include "render/curves.h"

namespace kurvana {
namespace {

// The zoom step as a value: the axis and its new ends, or none.
TEST(ZoomPan, ZoomRangeHalvesOrDoublesOneAxis) {
  PlotState s;
  s.xMin = -3;
  s.xMax = 5;
  s.yMin = 1;
  s.yMax = 7;
  EXPECT_FALSE(zoomRange(s, ZoomDirection::kIn, Keys{}).has_value());  // no plot
  s.plotValid = true;
  const auto x = zoomRange(s, ZoomDirection::kIn, Keys{});
  ASSERT_TRUE(x.has_value());
  EXPECT_FALSE(x->yAxis);
  EXPECT_EQ(x->min, -1.5L);
  EXPECT_EQ(x->max, 2.5L);
  EXPECT_EQ(s.xMin, -3);  // the state is the caller's to change
  const auto y = zoomRange(s, ZoomDirection::kOut, Keys{.ctrl = true});
  ASSERT_TRUE(y.has_value());
  EXPECT_TRUE(y->yAxis);
  EXPECT_EQ(y->min, 2);
  EXPECT_EQ(y->max, 14);
  s.yMax = std::numeric_limits<long double>::max();
  EXPECT_FALSE(zoomRange(s, ZoomDirection::kOut, Keys{.alt = true}).has_value());
  EXPECT_TRUE(zoomRange(s, ZoomDirection::kIn, Keys{.alt = true}).has_value());
}

// A pan drag as the window runs it: press, drag steps that move the ranges,
// paint the frame anew for them and the preview over it, release.
class PanDrag : public testing::DrawnPlot {
 protected:
  void press(int x, int y) {
    RenderContext c = context();
    ASSERT_EQ(plotPointerPressed(c, explore, MouseButton::kLeft, x, y), PlotPress::kPanStarted);
  }
  void move(int x, int y) {
    const PanStep step = panRanges(s, explore, x, y);
    if (!step.xMoved && !step.yMoved) return;
    emptyPlot();
    RenderContext c = context();
    paintPanPreview(c, explore, x);
  }
  void release() { plotPointerReleased(s, explore); }

  // A range field's text for the state's ranges, as the window shows it.
  std::string field(Field f) const {
    for (const FieldEdits& edits : {writeXRange(s, "."), writeYRange(s, ".")}) {
      for (const FieldEdit& edit : edits) {
        if (edit.field == f) return edit.text;
      }
    }
    return "?";
  }
};

// Either way, the columns the drag uncovers stay empty: samples beyond the
// plot's width (left over from a wider plot) never move into view.
TEST_F(PanDrag, CartesianDragUncoversEmptyColumnsOnEitherSide) {
  plotSize(700, 400);
  drawCartesian([](long double x) { return x / 2 - 2; });
  plotSize(600, 400);
  for (const int shift : {1, 50, -1, -50, -599}) {
    drawCartesian([](long double x) { return x - 5; });
    ASSERT_FALSE(isNoSample(s.samplesA[600]));  // stale, inside the y range
    const auto samples = s.samplesA;
    press(300, 200);
    move(300 + shift, 200);
    for (int i = 0; i < 600; ++i) {
      const int from = i - shift;
      if (from >= 0 && from < 600) {
        ASSERT_EQ(explore.panSamplesA[i], samples[from]) << shift << " column " << i;
      } else {
        ASSERT_TRUE(isNoSample(explore.panSamplesA[i])) << shift << " column " << i;
        EXPECT_EQ(curvePixels(i + 20), 0) << shift << " uncovered column " << i;
      }
    }
    release();
  }
}

TEST_F(PanDrag, ParametricDragFiltersYToTheNewRangeToo) {
  s.optTwoFunctions = flagOn;
  s.zCount = 100;
  s.xMin = -10;
  s.yMin = -10;
  s.yMax = 10;
  drawPoints([](long double t) { return t - 5; }, [](long double t) { return 2 * t - 10; });
  press(300, 200);
  move(300, 400);  // half the height down: y from 0 to 20
  EXPECT_EQ(field(Field::kYMin), "0");
  for (int i = 0; i < 100; ++i) {
    const long double g = s.samplesB[i];
    EXPECT_EQ(isNoSample(explore.panSamplesB[i]), g < 0) << i;
  }
}

TEST_F(PanDrag, ParametricDragKeepsOnlyPointsInsideTheNewRanges) {
  s.optTwoFunctions = flagOn;
  s.optLines = flagOn;
  s.zCount = 100;
  s.xMin = -10;
  s.yMin = -10;
  s.yMax = 10;
  drawPoints([](long double t) { return t - 5; }, [](long double t) { return 2 * t - 10; });
  press(300, 200);
  move(600, 200);  // half the width to the right: x from -20 to 0
  EXPECT_EQ(field(Field::kXMin), "-20");
  EXPECT_EQ(field(Field::kXMax), "0");
  for (int i = 0; i < 100; ++i) {
    const auto& pa = explore.panSamplesA[i];
    if (s.samplesA[i] <= 0) {
      EXPECT_EQ(pa, s.samplesA[i]) << i;
    } else {
      EXPECT_TRUE(isNoSample(pa)) << i;
    }
    EXPECT_EQ(explore.panSamplesB[i], s.samplesB[i]) << i;  // y did not move
  }
  // Kept are x from -5 to just below 0: columns 469 to 617. No segment
  // reaches into the part the drag emptied.
  EXPECT_GT(curvePixels(600), 0);
  for (int x = 20; x < 469; ++x) EXPECT_EQ(curvePixels(x), 0) << x;
  EXPECT_EQ(curvePixels(619), 0);
}

class PanPreview : public testing::DrawnPlot {
 protected:
  // An empty preview buffer over a fresh frame, y from -5 to 5 (H = 400).
  void SetUp() override {
    DrawnPlot::SetUp();
    drawCartesian([](long double x) { return x; });
    emptyPlot();
    explore.panSamplesA.fill(noSample());
  }
  void paint() {
    RenderContext c = context();
    paintCartesianCurve(c, explore.panSamplesA, CurvePass::kPreview);
  }
  static int rowOf(long double v) {  // H + 19 - nearest((v + 5) * 399 / 10)
    return 419 - static_cast<int>(std::llrint((v + 5) * 399 / 10));
  }
};

TEST_F(PanPreview, FilledDotsStaySinglePixelsWithThickOn) {
  s.optFilled = flagOn;
  s.optThick = flagOn;
  explore.panSamplesA[100] = 2;
  paint();
  const int row = rowOf(2);
  EXPECT_EQ(image.pixel(120, row), s.curveColor);
  EXPECT_NE(image.pixel(121, row), s.curveColor);
  EXPECT_EQ(curvePixels(120), s.xAxisRow - row + 1);  // filled down to the axis
}

TEST_F(PanPreview, ThickDotsAreSquaresInTheValuesColour) {
  s.optThick = flagOn;
  explore.panSamplesA[100] = -2;
  paint();
  const int row = rowOf(-2);
  for (int dx : {0, 1}) {
    for (int dy : {0, 1}) {
      EXPECT_EQ(image.pixel(120 + dx, row + dy), s.curveColorDark) << dx << dy;
    }
  }
  EXPECT_EQ(curvePixels(122), 0);
}

TEST_F(PanPreview, LinesNeverJoinAGap) {
  s.optLines = flagOn;
  auto& v = explore.panSamplesA;
  v[10] = 1;
  v[11] = 1;  // joined to column 10
  v[13] = 3;  // after the gap at 12: not joined
  v[14] = 3;
  paint();
  EXPECT_EQ(image.pixel(30, rowOf(1)), s.curveColor);
  EXPECT_EQ(curvePixels(32), 0);
  EXPECT_EQ(curvePixels(33), 1);  // segment 13 -> 14 paints column 33 only
  EXPECT_EQ(curveRow(33), rowOf(3));
  EXPECT_EQ(curvePixels(34), 0);
}

TEST_F(PanPreview, FilledLinesEndOnTheEdgeForPointsBeyondIt) {
  s.optLines = flagOn;
  s.optFilled = flagOn;
  auto& v = explore.panSamplesA;
  v[200] = 4;
  v[201] = 50;  // far above y max: fillColumn clamps the row to the top edge
  paint();
  // The segment from row 60 runs up toward row 20 instead of being left out;
  // column 220, the first after a gap, is not filled.
  EXPECT_LT(curveRow(220), 45);
  for (int y = 61; y <= s.xAxisRow; ++y) {
    EXPECT_NE(image.pixel(220, y), s.curveColor) << y;
  }
  EXPECT_EQ(curvePixels(221), s.xAxisRow - 20 + 1);
}

TEST_F(PanPreview, FilledLinesFillTheFirstColumn) {
  s.optLines = flagOn;
  s.optFilled = flagOn;
  explore.panSamplesA[0] = 2;
  paint();
  EXPECT_EQ(curvePixels(20), s.xAxisRow - rowOf(2) + 1);
}

TEST_F(PanPreview, LinesPullRowsJustBesideThePlotOntoItsEdge) {
  struct Case {
    long double value;
    int row;      // of the value, before pulling
    bool joined;  // pulled onto the edge and joined to the sample before it
  };
  s.optLines = flagOn;
  auto& v = explore.panSamplesA;
  for (const Case& c :
       {Case{5.025L, 19, true}, Case{5.05L, 18, true}, Case{5.075L, 17, false},
        Case{-5.025L, 420, true}, Case{-5.05L, 421, true}, Case{-5.075L, 422, false}}) {
    ASSERT_EQ(rowOf(c.value), c.row) << static_cast<double>(c.value);
    emptyPlot();
    v.fill(noSample());
    v[300] = 0;
    v[301] = c.value;
    paint();
    // The segment runs about 200 rows, the second half in the later column.
    if (c.joined) {
      EXPECT_GT(curvePixels(320), 90) << c.row;
    } else {
      EXPECT_EQ(curvePixels(319) + curvePixels(320), 0) << c.row;
    }
  }
}

TEST_F(PanPreview, ParametricLinesNeverJoinAMissingPoint) {
  s.optTwoFunctions = flagOn;
  s.optLines = flagOn;
  s.zCount = 4;
  auto& a = explore.panSamplesA;
  auto& b = explore.panSamplesB;
  // Points at x = 2, 8 (y missing), 2, 8 with y = 0, -, 3, 3 (x from 0 to 10).
  a[0] = 2, b[0] = 0;
  a[1] = 8, b[1] = noSample();
  a[2] = 2, b[2] = 3;
  a[3] = 8, b[3] = 3;
  RenderContext c = context();
  paintPointCurve(c, explore.panSamplesA, explore.panSamplesB, CurvePass::kPreview);
  const int rowZero = rowOf(0);
  const int rowThree = rowOf(3);
  for (int x = 20; x < 620; ++x) {
    for (int y = 20; y < 420; ++y) {
      const bool curve = image.pixel(x, y) == s.curveColor;
      if (curve) {
        EXPECT_EQ(y, rowThree) << x;  // only the segment from point 2 to 3
      }
    }
  }
  EXPECT_EQ(curvePixels(20 + 300), 1);
  EXPECT_NE(image.pixel(320, rowZero), s.curveColor);
}

TEST_F(PanPreview, AFlatRangeDrawsNothing) {
  s.yMax = s.yMin;
  explore.panSamplesA.fill(0);
  const Bitmap before = image;
  paint();
  s.optLines = flagOn;
  paint();
  EXPECT_EQ(std::memcmp(before.data(), image.data(), 4u * 640 * 440), 0);
}

TEST(NoSample, IsTheExactExtendedPattern) {
  static_assert(std::numeric_limits<long double>::digits == 64);
  EXPECT_EQ(noSample(), 12345.67809L);
  EXPECT_TRUE(isNoSample(noSample()));
  EXPECT_TRUE(isNoSample(12345.67809L));
  EXPECT_FALSE(isNoSample(std::nextafter(noSample(), 0.0L)));
  EXPECT_FALSE(isNoSample(-noSample()));
  EXPECT_FALSE(isNoSample(0));
}

}  // namespace
}  // namespace kurvana
