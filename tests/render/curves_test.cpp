// The curve painters on the 784 x 628 plot of a 1024 x 768 window: rows of
// samples, automatic scale, clipping bands, column fills, antialiased blends
// and the point-sequence painter.
#include "render/curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <utility>

#include "plot/fields.h"
#include "plot/range_fields.h"
#include "render/artwork.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr int kW = 784;
constexpr int kH = 628;
constexpr int kTop = 20;
constexpr int kBottom = kH + 19;
constexpr long double kNaN = std::numeric_limits<long double>::quiet_NaN();
constexpr long double kInf = std::numeric_limits<long double>::infinity();
constexpr Size kWindow{1024, 768};

class CurvePainter : public ::testing::Test {
 protected:
  CurvePainter() {
    for (const auto& [field, value] : {std::pair{Field::kXMin, "0"},
                                       {Field::kXMax, "10"},
                                       {Field::kYMin, "-5"},
                                       {Field::kYMax, "5"},
                                       {Field::kZMin, "0"},
                                       {Field::kZMax, "10"},
                                       {Field::kZCount, "1000"}}) {
      text(field) = value;
    }
    // Without grid and axes every pixel that is not the background is curve.
    s.optGrid = flagOff;
    s.optAxes = flagOff;
  }

  void xRange(const char* lo, const char* hi) {
    text(Field::kXMin) = lo;
    text(Field::kXMax) = hi;
  }
  void yRange(const char* lo, const char* hi) {
    text(Field::kYMin) = lo;
    text(Field::kYMax) = hi;
  }
  void points(int n) {
    s.zCount = n;
    text(Field::kZCount) = std::to_string(n);
  }
  long double& a(int i) { return s.samplesA[static_cast<std::size_t>(i)]; }
  long double& b(int i) { return s.samplesB[static_cast<std::size_t>(i)]; }
  void fill(long double v) {
    for (int i = 0; i < kW; ++i) a(i) = v;
  }

  std::string& text(Field field) { return textOf(texts, field); }
  // The texts the window would show: each edit in order, the last one winning.
  void apply(const FieldEdits& edits) {
    for (const FieldEdit& edit : edits) text(edit.field) = edit.text;
  }

  // The empty plot for the ranges in the fields, kept in the state as the
  // window keeps it.
  void emptyPlot(RenderContext& context) {
    const RangeReading reading = readRangeFields(texts, rangesOf(s), ".");
    setRanges(s, reading.ranges);
    apply(reading.rewrites);
    const PlotFrame frame = paintEmptyPlot(context, plotImageSize(kWindow));
    s.plotWidth = frame.geometry.width;
    s.plotHeight = frame.geometry.height;
    s.yAxisColumn = frame.yAxisColumn;
    s.xAxisRow = frame.xAxisRow;
  }
  // As the Draw does: scheme, empty plot, with automatic scale the fitted
  // ranges through the fields and the empty plot again, then the painter.
  void cart() {
    RenderContext context{s, image, artwork(), nullptr, "."};
    applyColourScheme(s);
    emptyPlot(context);
    if (isOn(s.optAutoScale)) {
      const ValueRange y = fittedCartesianYRange(s);
      s.yMin = y.min;
      s.yMax = y.max;
      apply(writeYRange(s, "."));
      emptyPlot(context);
    }
    paintCartesianCurve(context, s.samplesA, CurvePass::kDraw);
  }
  void par() {
    RenderContext context{s, image, artwork(), nullptr, "."};
    applyColourScheme(s);
    emptyPlot(context);
    if (isOn(s.optAutoScale)) {
      const PointRanges fitted = fittedPointRanges(s);
      s.xMin = fitted.x.min;
      s.xMax = fitted.x.max;
      s.yMin = fitted.y.min;
      s.yMax = fitted.y.max;
      apply(writeXRange(s, "."));
      apply(writeYRange(s, "."));
      emptyPlot(context);
    }
    paintPointCurve(context, s.samplesA, s.samplesB, CurvePass::kDraw);
  }

  bool isCurve(int x, int y) const { return image.pixel(x, y) != s.backColor; }
  int curveInColumn(int x) const {
    int n = 0;
    for (int y = kTop; y <= kBottom; ++y) n += isCurve(x, y);
    return n;
  }
  int curveInRow(int y) const {
    int n = 0;
    for (int x = kMargin; x < kW + kMargin; ++x) n += isCurve(x, y);
    return n;
  }
  int curveInPlot() const {
    int n = 0;
    for (int y = kTop; y <= kBottom; ++y) n += curveInRow(y);
    return n;
  }

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
  FieldTexts texts;  // the range fields as the window would show them
  Bitmap image;
};

using CartesianCurve = CurvePainter;
using PointCurve = CurvePainter;

TEST_F(CartesianCurve, AutomaticScaleFitsTheSamples) {
  struct Case {
    long double value;
    const char* min;
    const char* max;
  };
  s.optAutoScale = flagOn;
  // A constant widens by a tenth either way (0 to -1 .. 1); in each of these
  // ranges the value sits at offset 313.5, which rounds to the even 314.
  for (const Case& c : {Case{0, "-1", "1"}, Case{5, "4.5", "5.5"}, Case{-5, "-5.5", "-4.5"}}) {
    fill(c.value);
    cart();
    const double v = static_cast<double>(c.value);
    EXPECT_EQ(text(Field::kYMin), c.min) << v;
    EXPECT_EQ(text(Field::kYMax), c.max) << v;
    EXPECT_EQ(image.pixel(100, kBottom - 314), c.value < 0 ? s.curveColorDark : s.curveColor) << v;
    EXPECT_EQ(curveInColumn(100), 1) << v;
  }
  // Samples that are no number take no part in the scan.
  for (int i = 0; i < kW; ++i) a(i) = i % 3 == 0 ? kNaN : 1 + (i % 3);
  cart();
  EXPECT_EQ(text(Field::kYMin), "2");
  EXPECT_EQ(text(Field::kYMax), "3");
}

TEST_F(CartesianCurve, DotsLandOnTheRoundedOffsetRow) {
  struct Case {
    const char* min;
    const char* max;
    long double value;
    int row;
  };
  for (const Case& c : {
           Case{"-5", "5", -5, kBottom},
           Case{"-5", "5", 5, kTop},
           Case{"-5", "5", 0, kBottom - 314},    // offset 313.5
           Case{"0", "627", 2.5L, kBottom - 2},  // one unit per row: halves go to even
           Case{"0", "627", 3.5L, kBottom - 4},
       }) {
    yRange(c.min, c.max);
    fill(c.value);
    cart();
    const Color expected = c.value < 0 ? s.curveColorDark : s.curveColor;
    EXPECT_EQ(image.pixel(300, c.row), expected) << c.min << ".." << c.max << " " << c.row;
    EXPECT_EQ(curveInColumn(300), 1) << c.min << ".." << c.max << " " << c.row;
  }
}

TEST_F(CartesianCurve, NegativeSamplesAreDarkerUnlessSwitchedOff) {
  fill(-2);  // offset 188.1: row 459 in both modes
  for (const bool lines : {false, true}) {
    s.optLines = lines ? flagOn : flagOff;
    s.optDarkNegative = flagOn;
    cart();
    EXPECT_EQ(image.pixel(300, 459), s.curveColorDark) << lines;
    s.optDarkNegative = flagOff;
    cart();
    EXPECT_EQ(image.pixel(300, 459), s.curveColor) << lines;
  }
}

TEST_F(CartesianCurve, ThickDotsAreBlocksFromTheirTopLeftPixel) {
  fill(0);
  s.optThick = flagOn;
  cart();
  for (const auto& [x, y] : {std::pair{300, 333}, {301, 333}, {300, 334}, {301, 334}}) {
    EXPECT_EQ(image.pixel(x, y), s.curveColor) << x << "," << y;
  }
  EXPECT_FALSE(isCurve(300, 332));
  EXPECT_FALSE(isCurve(300, 335));
  // Filled, a thick dot is a single pixel at the end of the fill.
  fill(-2);
  s.optFilled = flagOn;
  cart();
  EXPECT_EQ(curveInColumn(300), 459 - s.xAxisRow + 1);
  EXPECT_FALSE(isCurve(301, 459 + 1));
}

TEST_F(CartesianCurve, LinesSnapWithinTwoRowsAndBreakBeyond) {
  struct Case {
    long double rowsBeyond;  // + above the top, - below the bottom
    int snappedRow;          // -1: the line breaks
  };
  // One unit per row, so the rows beyond are exact: value 627 + r lies r rows
  // above the top row, -r r rows below the bottom one.
  yRange("0", "627");
  s.optLines = flagOn;
  for (const Case& c : {Case{1.5L, kTop}, Case{2, kTop}, Case{-1.5L, kBottom}, Case{-2, kBottom},
                        Case{2.5L, -1}, Case{-2.5L, -1}, Case{4, -1}, Case{-4, -1}}) {
    fill(300);
    a(300) = c.rowsBeyond > 0 ? 627 + c.rowsBeyond : c.rowsBeyond;
    cart();
    const double beyond = static_cast<double>(c.rowsBeyond);
    if (c.snappedRow >= 0) {
      EXPECT_EQ(image.pixel(320, c.snappedRow), s.curveColor) << beyond;
      EXPECT_GT(curveInColumn(319), 0) << beyond;  // the segment towards it
    } else {
      // Segment 300 (column 319) and segment 301 (column 320) are left out.
      EXPECT_EQ(curveInColumn(319), 0) << beyond;
      EXPECT_EQ(curveInColumn(320), 0) << beyond;
    }
    EXPECT_GT(curveInColumn(318), 0) << beyond;
    EXPECT_GT(curveInColumn(321), 0) << beyond;
  }
}

TEST_F(CartesianCurve, UncomputableSamplesLieFarAbove) {
  for (const bool lines : {false, true}) {
    fill(0);
    a(300) = kNaN;
    a(400) = kInf;
    a(500) = -kInf;
    a(600) = 1e4000L;  // its offset does not fit an integer
    s.optLines = lines ? flagOn : flagOff;
    s.optFilled = flagOff;
    cart();
    for (const int i : {300, 400, 500, 600}) {
      EXPECT_EQ(curveInColumn(i + 20), 0) << i << " lines " << lines;
      if (lines) {
        EXPECT_EQ(curveInColumn(i + 19), 0) << i;  // the segment towards it
      }
      EXPECT_GT(curveInColumn(i + 21), 0) << i << " lines " << lines;
    }
    // Filled, each such column runs from the axis up to the top row.
    s.optFilled = flagOn;
    cart();
    for (const int i : {300, 400, 500, 600}) {
      EXPECT_TRUE(isCurve(i + 20, kTop)) << i << " lines " << lines;
      EXPECT_EQ(curveInColumn(i + 20), s.xAxisRow - kTop + 1) << i << " lines " << lines;
    }
  }
}

TEST_F(CartesianCurve, ZeroHeightRangePaintsNoCurve) {
  yRange("1", "1");
  fill(1);
  cart();
  EXPECT_EQ(curveInPlot(), 0);
  s.optLines = flagOn;
  cart();
  EXPECT_EQ(curveInPlot(), 0);
  // Line mode still fills the first column, its sample taken as above the plot.
  s.optFilled = flagOn;
  cart();
  EXPECT_EQ(curveInColumn(20), kH);
  EXPECT_EQ(curveInColumn(21), 0);
}

TEST_F(CartesianCurve, FillSpansToTheAxisOrTheEdge) {
  struct Case {
    bool lines;
    const char* min;
    const char* max;
    long double value;
    int first, last;  // rows painted in column 320; first < 0: none
    bool dark;
  };
  // y -1 .. 1 puts the axis on row 333. The value's offset is (v - yMin) * 627 / 2:
  // dots round the offset, lines the real row (offset 313.5 gives row 333 or 334).
  s.optFilled = flagOn;
  for (const Case& c : {
           Case{false, "-1", "1", 0.5L, 177, 333, false},
           Case{false, "-1", "1", -0.5L, 333, 490, true},
           Case{false, "-1", "1", 5, kTop, 333, false},  // clamped onto the edge row
           Case{false, "-1", "1", -5, 333, kBottom, true},
           Case{false, "-2", "0", -1, kTop, 333, true},  // no axis: up to the top
           Case{false, "-2", "0", -5, kTop, kBottom, true},
           Case{false, "-2", "0", 5, -1, -1, false},       // above a plot filled upwards
           Case{false, "0", "2", 1, 333, kBottom, false},  // down to the bottom
           Case{false, "0", "2", 5, kTop, kBottom, false},
           Case{false, "0", "2", -5, -1, -1, false},  // below a plot filled downwards
           Case{true, "-1", "1", 0.5L, 177, 333, false},
           Case{true, "-1", "1", -5, 333, kBottom, true},
           Case{true, "-2", "0", -1, kTop, 334, true},
           Case{true, "-2", "0", 5, -1, -1, false},
           Case{true, "0", "2", 1, 334, kBottom, false},
           Case{true, "0", "2", 5, kTop, kBottom, false},
       }) {
    yRange(c.min, c.max);
    fill(c.value);
    s.optLines = c.lines ? flagOn : flagOff;
    cart();
    const Color color = c.dark ? s.curveColorDark : s.curveColor;
    for (int y = kTop; y <= kBottom; ++y) {
      const bool inSpan = c.first >= 0 && y >= c.first && y <= c.last;
      ASSERT_EQ(image.pixel(320, y), inSpan ? color : s.backColor)
          << (c.lines ? "lines " : "dots ") << c.min << ".." << c.max << " value "
          << static_cast<double>(c.value) << " row " << y;
    }
  }
}

TEST_F(CartesianCurve, FilledSineRunsFromTheAxisInBothColours) {
  yRange("-1", "1");
  for (int i = 0; i < kW; ++i) a(i) = std::sin(2 * std::numbers::pi_v<long double> * i / (kW - 1));
  s.optFilled = flagOn;
  cart();
  for (int i = 0; i < kW; ++i) {
    const long double v = a(i);
    const int p = kBottom - static_cast<int>(std::llrint((v + 1) * (kH - 1) / 2));
    const Color color = v < 0 ? s.curveColorDark : s.curveColor;
    const int x = i + 20;
    ASSERT_EQ(curveInColumn(x), std::abs(p - s.xAxisRow) + 1) << i;
    ASSERT_EQ(image.pixel(x, p), color) << i;
    ASSERT_EQ(image.pixel(x, s.xAxisRow), color) << i;
  }
}

TEST_F(CartesianCurve, AntialiasedLinesBlendOnceOnWhiteAndTwiceOnBlack) {
  // One unit per row: the curve runs along row 546.75, so every column gets
  // 0.375 of the colour on row 547 from each of its two segment ends.
  yRange("0", "627");
  fill(100.25L);
  s.optLines = flagOn;
  s.optAntialias = flagOn;
  s.optWhiteBack = flagOn;
  cart();
  EXPECT_EQ(image.pixel(300, 547), 0xFF9E9Eu);  // 255 -> 195 -> 158 (red, green)
  EXPECT_FALSE(isCurve(300, 548));
  s.optWhiteBack = flagOff;
  cart();
  EXPECT_EQ(image.pixel(300, 547), 0xD85151u);  // 0 -> 36 -> 58 -> 72 -> 81
  EXPECT_FALSE(isCurve(300, 548));
  // Thick adds a blend half a pixel lower, which reaches row 548.
  s.optThick = flagOn;
  cart();
  EXPECT_TRUE(isCurve(300, 548));
}

TEST_F(PointCurve, CircleScalesBothAxesToTheUnitRange) {
  s.optAutoScale = flagOn;
  s.optLines = flagOn;
  for (int i = 0; i < 1000; ++i) {
    const long double t = i * 6.2832L / 999;
    a(i) = std::cos(t);
    b(i) = std::sin(t);
  }
  par();
  for (const auto& [field, bound] : {std::pair{Field::kXMin, -1.0},
                                     {Field::kXMax, 1.0},
                                     {Field::kYMin, -1.0},
                                     {Field::kYMax, 1.0}}) {
    EXPECT_NEAR(std::stod(text(field)), bound, 1e-5) << text(field);
  }
  // Stretched to the plot: the curve touches all four edges.
  EXPECT_GT(curveInColumn(20), 0);
  EXPECT_GT(curveInColumn(kW + 19), 0);
  EXPECT_GT(curveInRow(kTop), 0);
  EXPECT_GT(curveInRow(kBottom), 0);
}

TEST_F(PointCurve, ConstantCoordinateWidensByATenth) {
  s.optAutoScale = flagOn;
  for (int i = 0; i < 1000; ++i) {
    a(i) = 2;
    b(i) = i * 10.0L / 999;
  }
  par();
  EXPECT_EQ(text(Field::kXMin), "1.8");
  EXPECT_EQ(text(Field::kXMax), "2.2");
  // A vertical line through every row, in the middle column (offset 391.5).
  const int middle = curveInColumn(411) > 0 ? 411 : 412;
  EXPECT_EQ(curveInColumn(middle), kH);
  EXPECT_EQ(curveInColumn(middle - 1) + curveInColumn(middle + 1), 0);

  for (int i = 0; i < 1000; ++i) {
    a(i) = i * 10.0L / 999;
    b(i) = -3;
  }
  par();
  EXPECT_EQ(text(Field::kYMin), "-3.3");
  EXPECT_EQ(text(Field::kYMax), "-2.7");
  EXPECT_EQ(curveInRow(333) + curveInRow(334), kW);
}

TEST_F(PointCurve, DotsSkipPointsOutsideThePlot) {
  // One unit per pixel: x = c lies on column 20 + c, y = r on row 647 - r.
  xRange("0", "783");
  yRange("0", "627");
  points(10);
  const long double xs[] = {0, 783, 100, 3000, -10, 200, kNaN, 300, 400, 783};
  const long double ys[] = {627, 0, 100, 100, 100, 700, 100, kInf, -1, 627};
  for (int i = 0; i < 10; ++i) {
    a(i) = xs[i];
    b(i) = ys[i];
  }
  a(10) = 50;  // beyond zCount: not a point, it would lie at (70, 597)
  b(10) = 50;
  s.optThick = flagOn;
  par();
  // Top-left pixels (20, 20), (803, 647), (120, 547) and (803, 20).
  for (const auto& [x, y] :
       {std::pair{20, 20}, {21, 21}, {803, 647}, {804, 648}, {120, 547}, {121, 548}, {803, 20}}) {
    EXPECT_EQ(image.pixel(x, y), s.curveColor) << x << "," << y;
  }
  EXPECT_FALSE(isCurve(22, 20));
  EXPECT_FALSE(isCurve(70, 597));
  EXPECT_EQ(curveInPlot(), 4 + 1 + 4 + 2);  // the blocks at column 803 reach past the plot
}

TEST_F(PointCurve, LinesJoinConsecutivePointsInside) {
  xRange("0", "783");
  yRange("0", "627");
  points(10);
  for (int i = 0; i < 20; ++i) {
    a(i) = 10 * i;
    b(i) = 300;
  }
  s.optLines = flagOn;
  par();
  // Nine segments from column 20 to 110, whose end pixel stays unpainted.
  EXPECT_EQ(curveInRow(347), 90);
  EXPECT_FALSE(isCurve(110, 347));

  a(5) = 2000;  // outside: no segment to or from point 5
  b(7) = kNaN;
  par();
  EXPECT_EQ(curveInRow(347), 90 - 20 - 20);
  for (const int x : {60, 79, 80, 99}) EXPECT_FALSE(isCurve(x, 347)) << x;
  for (const int x : {59, 100}) EXPECT_TRUE(isCurve(x, 347)) << x;
}

TEST_F(PointCurve, DegeneratePointsDoNotFail) {
  for (int i = 0; i < 1000; ++i) {
    a(i) = 5;  // every point the same: zero-length antialiased segments
    b(i) = 0;
  }
  s.optLines = flagOn;
  s.optAntialias = flagOn;
  par();
  EXPECT_LE(curveInPlot(), 2);  // at most the two end blends
  xRange("1", "1");             // zero-width range: no column can be computed
  par();
  EXPECT_EQ(curveInPlot(), 0);
}

}  // namespace
}  // namespace kurvana
