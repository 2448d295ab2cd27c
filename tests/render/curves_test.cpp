// The curve painters on a 560 x 360 plot: rows of samples, automatic scale,
// clipping bands, column fills and the parametric painter.
#include "render/curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "plot/fake_view.h"
#include "render/artwork.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr int kW = 560;
constexpr int kH = 360;

class Curves : public ::testing::Test {
 protected:
  void SetUp() override {
    view.window = {kW + 40 + 200, kH + 40 + 100};
    view.texts = {{Field::kXMin, "0"},     {Field::kXMax, "10"}, {Field::kYMin, "-5"},
                  {Field::kYMax, "5"},     {Field::kZMin, "0"},  {Field::kZMax, "10"},
                  {Field::kZCount, "1000"}};
    s.optGrid = flagOff;
    s.optAxes = flagOff;
  }

  void yRange(const char* lo, const char* hi) {
    view.texts[Field::kYMin] = lo;
    view.texts[Field::kYMax] = hi;
  }
  void fill(long double v) {
    for (int i = 0; i < kW; ++i) s.samplesA[static_cast<std::size_t>(i)] = v;
  }
  void cart() {
    RenderContext context{s, view, image, artwork(), nullptr, "."};
    setbg(s);
    set2d(context);
    plotcart(context);
  }
  void par() {
    RenderContext context{s, view, image, artwork(), nullptr, "."};
    setbg(s);
    set2d(context);
    plotpar(context);
  }
  int countInColumn(int x, Color c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) n += image.pixel(x, y) == c;
    return n;
  }
  int count(Color c) const {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == c;
    }
    return n;
  }

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
  testing::FakeView view;
  Bitmap image;
};

TEST_F(Curves, AutomaticScaleOfConstants) {
  struct Case {
    long double value;
    const char* min;
    const char* max;
  };
  s.optAutoScale = flagOn;
  for (const Case& c : {Case{0, "-1", "1"}, Case{5, "4.5", "5.5"}, Case{-5, "-5.5", "-4.5"}}) {
    fill(c.value);
    cart();
    EXPECT_EQ(view.texts[Field::kYMin], c.min) << static_cast<double>(c.value);
    EXPECT_EQ(view.texts[Field::kYMax], c.max) << static_cast<double>(c.value);
  }
  fill(0);
  cart();  // 0 in -1 .. 1: the middle of 360 rows, rounded half to even
  EXPECT_EQ(image.pixel(100, 380 - 180 - 1), s.curveColor);
}

TEST_F(Curves, DotsLandOnTheMappedRows) {
  s.samplesA[0] = -5;  // yMin: bottom row
  s.samplesA[1] = 5;   // yMax: top row
  s.samplesA[2] = 0;   // Round(179.5) = 180 rows up
  s.samplesA[3] = 2.5L;
  for (int i = 4; i < kW; ++i) s.samplesA[static_cast<std::size_t>(i)] = 100;  // off the plot
  cart();
  EXPECT_EQ(image.pixel(20, kH + 19), s.curveColorDark);  // negative: darker
  EXPECT_EQ(image.pixel(21, 20), s.curveColor);
  EXPECT_EQ(image.pixel(22, 199), s.curveColor);
  EXPECT_EQ(image.pixel(23, 380 - std::llrint(7.5L * 359 / 10) - 1), s.curveColor);
  EXPECT_EQ(countInColumn(30, s.curveColor), 0);
}

TEST_F(Curves, ThickDotsAreBlocksFromTheirTopLeftPixel) {
  fill(0);
  s.optThick = flagOn;
  cart();
  for (int dx : {0, 1}) {
    for (int dy : {0, 1}) EXPECT_EQ(image.pixel(100 + dx, 199 + dy), s.curveColor);
  }
  EXPECT_EQ(image.pixel(100, 198), s.backColor);
}

TEST_F(Curves, LinesSnapWithinTwoPixelsAndBreakBeyond) {
  // One row is 10 / 359 in y.
  const long double row = 10.0L / 359;
  fill(0);
  s.samplesA[200] = 5 + 1.5L * row;  // in the band above the plot: drawn on row 20
  s.samplesA[400] = 5 + 4 * row;     // beyond it: the line breaks
  s.optLines = flagOn;
  cart();
  EXPECT_EQ(image.pixel(220, 20), s.curveColor);
  EXPECT_EQ(countInColumn(420, s.curveColor), 0);
  EXPECT_EQ(countInColumn(419, s.curveColor), 0);
  EXPECT_GT(countInColumn(418, s.curveColor), 0);
}

TEST_F(Curves, UncomputableSamplesAreNotDrawn) {
  fill(0);
  s.samplesA[50] = std::numeric_limits<long double>::infinity();
  s.samplesA[51] = std::numeric_limits<long double>::quiet_NaN();
  s.samplesA[52] = 1e4000L;
  cart();
  for (int x : {70, 71, 72}) EXPECT_EQ(countInColumn(x, s.curveColor), 0) << x;
  EXPECT_EQ(countInColumn(73, s.curveColor), 1);
}

TEST_F(Curves, ZeroHeightRangePaintsNoCurve) {
  yRange("1", "1");
  fill(1);
  cart();
  EXPECT_EQ(count(s.curveColor), 0);
  s.optLines = flagOn;
  cart();
  EXPECT_EQ(count(s.curveColor), 0);
}

TEST_F(Curves, FillFromTheAxisInBothColours) {
  yRange("-1", "1");
  for (int i = 0; i < kW; ++i) s.samplesA[static_cast<std::size_t>(i)] = i < kW / 2 ? 0.5L : -0.5L;
  s.optFilled = flagOn;
  cart();
  const int axis = s.xAxisRow;
  const int up = 380 - std::llrint(1.5L * 359 / 2) - 1;
  const int down = 380 - std::llrint(0.5L * 359 / 2) - 1;
  EXPECT_EQ(image.pixel(100, up), s.curveColor);
  EXPECT_EQ(image.pixel(100, axis), s.curveColor);
  EXPECT_EQ(image.pixel(100, up - 1), s.backColor);
  EXPECT_EQ(image.pixel(500, down), s.curveColorDark);
  EXPECT_EQ(image.pixel(500, axis + 1), s.curveColorDark);
  EXPECT_EQ(image.pixel(500, down + 1), s.backColor);
}

TEST_F(Curves, FillToTheTopOrBottomEdgeWithoutAnAxis) {
  yRange("-2", "0");
  fill(-1);
  s.optFilled = flagOn;
  cart();
  EXPECT_EQ(image.pixel(100, 20), s.curveColorDark);
  EXPECT_EQ(image.pixel(100, 199), s.curveColorDark);
  EXPECT_EQ(image.pixel(100, 201), s.backColor);

  yRange("0", "2");
  fill(1);
  cart();
  EXPECT_EQ(image.pixel(100, kH + 19), s.curveColor);
  EXPECT_EQ(image.pixel(100, 200), s.curveColor);
  EXPECT_EQ(image.pixel(100, 198), s.backColor);
}

TEST_F(Curves, FilledDotsBeyondTheEdgeAreClampedOntoIt) {
  yRange("-1", "1");
  fill(5);
  s.optFilled = flagOn;
  cart();
  EXPECT_EQ(image.pixel(100, 20), s.curveColor);
  s.optFilled = flagOff;
  cart();
  EXPECT_EQ(countInColumn(100, s.curveColor), 0);
}

TEST_F(Curves, AntialiasedLinesBlendTwiceOnTheDarkBackground) {
  const long double half = 10.0L / 359 / 2;  // half a row: every pixel partly covered
  for (int i = 0; i < kW; ++i) s.samplesA[static_cast<std::size_t>(i)] = i % 2 ? half : 0;
  s.optLines = flagOn;
  s.optAntialias = flagOn;
  cart();
  const Color dark = image.pixel(300, 199);
  s.optWhiteBack = flagOn;
  cart();
  const Color white = image.pixel(300, 199);
  // The same coverage: white background once, dark background twice.
  const double darkBlend = (dark & 0xFF) / 96.0;             // red channel of the curve is 96
  const double whiteBlend = (255 - (white & 0xFF)) / 159.0;  // from 255 towards 96
  EXPECT_GT(darkBlend, whiteBlend + 0.05);
}

TEST_F(Curves, ParametricAutomaticScale) {
  s.optAutoScale = flagOn;
  s.zCount = 1000;
  view.texts[Field::kZMax] = "6.2832";
  for (int i = 0; i < 1000; ++i) {
    const long double t = i * 6.2832L / 999;
    s.samplesA[static_cast<std::size_t>(i)] = std::cos(t);
    s.samplesB[static_cast<std::size_t>(i)] = std::sin(t);
  }
  par();
  EXPECT_NEAR(std::stod(view.texts[Field::kXMin]), -1, 1e-4);
  EXPECT_EQ(view.texts[Field::kXMax], "1");
  EXPECT_NEAR(std::stod(view.texts[Field::kYMin]), -1, 1e-4);
  EXPECT_NEAR(std::stod(view.texts[Field::kYMax]), 1, 1e-4);

  for (int i = 0; i < 1000; ++i) {
    s.samplesA[static_cast<std::size_t>(i)] = 2;
    s.samplesB[static_cast<std::size_t>(i)] = -3;
  }
  par();
  EXPECT_EQ(view.texts[Field::kXMin], "1.8");
  EXPECT_EQ(view.texts[Field::kXMax], "2.2");
  EXPECT_EQ(view.texts[Field::kYMin], "-3.3");
  EXPECT_EQ(view.texts[Field::kYMax], "-2.7");
  // The single point sits in the middle of the plot.
  EXPECT_EQ(count(s.curveColor), 1);
}

TEST_F(Curves, ParametricDotsLinesAndOutsidePoints) {
  view.texts[Field::kXMin] = "-1";
  view.texts[Field::kXMax] = "1";
  view.texts[Field::kYMin] = "-1";
  view.texts[Field::kYMax] = "1";
  view.texts[Field::kZCount] = "10";
  s.zCount = 10;
  for (int i = 0; i < 10; ++i) {
    s.samplesA[static_cast<std::size_t>(i)] = -0.9L + 0.2L * i;
    s.samplesB[static_cast<std::size_t>(i)] = 0;
  }
  s.samplesA[9] = 3;  // outside: no dot, no segment to it
  s.optThick = flagOn;
  par();
  EXPECT_EQ(count(s.curveColor), 9 * 4);
  s.optThick = flagOff;
  s.optLines = flagOn;
  par();
  // Eight segments along one row, none towards the outside point.
  EXPECT_EQ(count(s.curveColor), static_cast<int>(std::llrint(1.6L * (kW - 1) / 2)));
}

}  // namespace
}  // namespace kurvana
