// Zoom steps, the pan drag with its preview, and the plot's context menu.
#include "explore/zoom_pan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "explore/exploration.h"
#include "explore/explore_fixture.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

using testing::ExploreTest;

class ZoomPan : public ExploreTest {
 protected:
  void zoomIn(Keys keys = {}) {
    EXPECT_TRUE(controller->zoom(ZoomDirection::kIn, keys, pointer).ok());
  }
  void zoomOut(Keys keys = {}) {
    EXPECT_TRUE(controller->zoom(ZoomDirection::kOut, keys, pointer).ok());
  }
  void wheel(bool up, Keys keys = {}) { EXPECT_TRUE(controller->wheel(up, keys, pointer).ok()); }
  // The window shows the hand while a drag runs and opens the menu on a
  // right press.
  void press(int x, int y, MouseButton button = MouseButton::kLeft) {
    const PlotPress result = controller->pointerPressed(button, Point{x, y});
    if (result == PlotPress::kPanStarted) handCursor = true;
    if (result == PlotPress::kMenuEnabled) menuEnabled = true;
    if (result == PlotPress::kMenuDisabled) menuEnabled = false;
  }
  void release() {
    handCursor = false;
    EXPECT_TRUE(controller->pointerReleased().ok());
  }

  std::string field(Field f) { return view.texts[f]; }

  // The curve's pixels in image column x (plot rows only).
  int curvePixels(int x) {
    int n = 0;
    for (int y = 20; y < state().plotHeight + 20; ++y) {
      const Color c = app->image.pixel(x, y);
      n += c == state().curveColor || c == state().curveColorDark ? 1 : 0;
    }
    return n;
  }
  int curveRow(int x) {
    for (int y = 20; y < state().plotHeight + 20; ++y) {
      const Color c = app->image.pixel(x, y);
      if (c == state().curveColor || c == state().curveColorDark) return y;
    }
    return -1;
  }

  std::optional<Point> pointer;
  bool handCursor = false;
  std::optional<bool> menuEnabled;
};

TEST_F(ZoomPan, ZoomHalvesOrDoublesBothEndsSoTheViewMovesTowardZero) {
  view.texts[Field::kXMin] = "10";
  view.texts[Field::kXMax] = "20";
  ASSERT_EQ(draw("F(x)=sin(x)"), DrawOutcome::kDrawn);
  zoomIn();
  EXPECT_EQ(field(Field::kXMin), "5");
  EXPECT_EQ(field(Field::kXMax), "10");
  EXPECT_EQ(draws(), 1);
  EXPECT_TRUE(state().plotValid);
  EXPECT_EQ(state().samplesA[0], std::sin(5.0L));  // drawn anew over the new range
  zoomOut();
  EXPECT_EQ(field(Field::kXMin), "10");
  EXPECT_EQ(field(Field::kXMax), "20");
  EXPECT_EQ(field(Field::kYMin), "-5");
}

TEST_F(ZoomPan, ZoomKeepsOnlyTheDigitsTheFieldShowed) {
  view.texts[Field::kXMax] = "1.2345678";
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  zoomIn();
  EXPECT_EQ(field(Field::kXMax), "0.617284");
  EXPECT_EQ(state().xMax, *parseLocaleNumber("0.617284", "."));
  zoomOut();
  EXPECT_EQ(field(Field::kXMax), "1.23457");
}

TEST_F(ZoomPan, ModifierKeysChooseTheYAxisForButtonsAndWheel) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  wheel(true, Keys{.ctrl = true});
  EXPECT_EQ(field(Field::kYMin), "-2.5");
  EXPECT_EQ(field(Field::kYMax), "2.5");
  EXPECT_EQ(field(Field::kXMax), "10");
  wheel(false);
  EXPECT_EQ(field(Field::kXMax), "20");
  EXPECT_EQ(field(Field::kYMax), "2.5");
  zoomOut(Keys{.shift = true});
  zoomOut(Keys{.alt = true});
  EXPECT_EQ(field(Field::kYMax), "10");
  EXPECT_EQ(draws(), 4);
}

TEST_F(ZoomPan, AutomaticScaleRefitsTheZoomedAxis) {
  state().optAutoScale = flagOn;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  const std::string yMax = field(Field::kYMax);
  zoomIn(Keys{.shift = true});
  EXPECT_EQ(field(Field::kYMax), yMax);
}

TEST_F(ZoomPan, WithoutAPlotZoomAndDragOnlyBeep) {
  ASSERT_EQ(draw("F(x)=ln(x-20)"), DrawOutcome::kEvaluationError);
  const int beeps = view.beeps;
  const auto writes = view.writes.size();
  zoomIn();
  zoomOut(Keys{.shift = true});
  wheel(true);
  press(100, 100);
  EXPECT_EQ(view.beeps, beeps + 4);
  EXPECT_EQ(view.writes.size(), writes);
  EXPECT_EQ(draws(), 0);
  EXPECT_FALSE(app->explore.panActive);
  EXPECT_FALSE(handCursor);
}

TEST_F(ZoomPan, TheContextMenuIsEnabledExactlyWithAPlot) {
  press(100, 100, MouseButton::kRight);
  EXPECT_EQ(menuEnabled, std::optional<bool>(false));
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  press(100, 100, MouseButton::kRight);
  EXPECT_EQ(menuEnabled, std::optional<bool>(true));
  EXPECT_FALSE(app->explore.panActive);  // the right button never drags
}

TEST_F(ZoomPan, ZoomRefreshesTheReadoutWhereThePointerIs) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  pointer = Point{120, 50};
  zoomIn();
  EXPECT_EQ(view.labels[Label::kReadoutX], "= " + formatGeneral(5.0L * 100 / 599, "."));
  pointer = Point{640, 50};  // just off the image: the labels keep the empty plot's "= 0"
  zoomOut();
  EXPECT_EQ(view.labels[Label::kReadoutX], "= 0");
}

// The zoom step as a value: the axis and its new ends, or none.
TEST_F(ZoomPan, ZoomRangeHalvesOrDoublesOneAxis) {
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

TEST_F(ZoomPan, AZoomBeyondTheExtendedRangeIsRefused) {
  view.texts[Field::kXMax] = "1E4932";
  ASSERT_EQ(draw("F(x)=1"), DrawOutcome::kDrawn);
  const std::string xMax = field(Field::kXMax);
  const int beeps = view.beeps;
  zoomOut();
  EXPECT_EQ(field(Field::kXMax), xMax);
  EXPECT_EQ(view.beeps, beeps + 1);
  EXPECT_EQ(draws(), 0);
}

TEST_F(ZoomPan, CartesianDragPreviewsTheCurveMovedWithThePointer) {
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  std::vector<int> rows;
  for (int x = 20; x < 620; ++x) rows.push_back(curveRow(x));
  const auto samples = state().samplesA;

  press(300, 200);
  EXPECT_TRUE(app->explore.panActive);
  EXPECT_TRUE(handCursor);
  for (int x = 310; x <= 350; x += 10) move(x, 200);
  for (int i = 0; i < 50; ++i) {
    EXPECT_TRUE(isNoSample(app->explore.panSamplesA[i])) << i;
    EXPECT_EQ(curvePixels(i + 20), 0) << "uncovered column " << i;
  }
  for (int i = 50; i < 600; ++i) {
    ASSERT_EQ(app->explore.panSamplesA[i], samples[i - 50]) << i;
    EXPECT_EQ(curveRow(i + 20), rows[i - 50]) << "column " << i;
  }
  // Five steps of a sixtieth of the width each, every one rounded to the
  // fields' 6 digits.
  EXPECT_NEAR(static_cast<double>(state().xMin), -50.0 / 60, 5e-5);
  EXPECT_NEAR(static_cast<double>(state().xMax), 10 - 50.0 / 60, 5e-5);
  EXPECT_EQ(field(Field::kXMin), formatGeneral(state().xMin, "."));
  EXPECT_EQ(field(Field::kYMin), "-5");
  EXPECT_EQ(draws(), 0);  // no Draw during the drag

  move(350, 240);  // 40 rows down: the view moves up by a tenth of its height
  EXPECT_EQ(field(Field::kYMin), "-4");
  EXPECT_EQ(field(Field::kYMax), "6");

  release();
  EXPECT_FALSE(app->explore.panActive);
  EXPECT_FALSE(handCursor);
  EXPECT_EQ(draws(), 1);
  EXPECT_TRUE(state().plotValid);
  EXPECT_EQ(state().samplesA[0], state().xMin - 5);  // sampled anew
  release();
  EXPECT_EQ(draws(), 1);  // no drag, nothing to end
}

// Either way, the columns the drag uncovers stay empty: samples beyond the
// plot's width (left over from a wider plot) never move into view.
TEST_F(ZoomPan, CartesianDragUncoversEmptyColumnsOnEitherSide) {
  plotSize(700, 400);
  ASSERT_EQ(draw("F(x)=x/2-2"), DrawOutcome::kDrawn);
  plotSize(600, 400);
  for (const int shift : {1, 50, -1, -50, -599}) {
    ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
    ASSERT_FALSE(isNoSample(state().samplesA[600]));  // stale, inside the y range
    const auto samples = state().samplesA;
    press(300, 200);
    move(300 + shift, 200);
    for (int i = 0; i < 600; ++i) {
      const int from = i - shift;
      if (from >= 0 && from < 600) {
        ASSERT_EQ(app->explore.panSamplesA[i], samples[from]) << shift << " column " << i;
      } else {
        ASSERT_TRUE(isNoSample(app->explore.panSamplesA[i])) << shift << " column " << i;
        EXPECT_EQ(curvePixels(i + 20), 0) << shift << " uncovered column " << i;
      }
    }
    release();
  }
}

TEST_F(ZoomPan, ParametricDragFiltersYToTheNewRangeToo) {
  state().optTwoFunctions = flagOn;
  view.texts[Field::kZCount] = "100";
  view.texts[Field::kXMin] = "-10";
  view.texts[Field::kYMin] = "-10";
  view.texts[Field::kYMax] = "10";
  ASSERT_EQ(draw("F(x)=x-5", "G(x)=2*x-10"), DrawOutcome::kDrawn);
  press(300, 200);
  move(300, 400);  // half the height down: y from 0 to 20
  EXPECT_EQ(field(Field::kYMin), "0");
  for (int i = 0; i < 100; ++i) {
    const long double g = state().samplesB[i];
    EXPECT_EQ(isNoSample(app->explore.panSamplesB[i]), g < 0) << i;
  }
}

TEST_F(ZoomPan, AReleaseEndsTheDragEvenWhenThePlotWentAway) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  press(300, 200);
  state().plotValid = false;  // a Draw during the drag stopped with a message
  release();
  EXPECT_FALSE(app->explore.panActive);
  EXPECT_FALSE(handCursor);
  EXPECT_EQ(draws(), 0);
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  const auto writes = view.writes.size();
  move(350, 250);  // a plain move: readout, not a pan
  EXPECT_EQ(view.writes.size(), writes);
}

TEST_F(ZoomPan, ADragWithAutomaticScaleMovesOnlyX) {
  state().optAutoScale = flagOn;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  const std::string yMin = field(Field::kYMin);
  const std::string yMax = field(Field::kYMax);
  press(300, 200);
  move(330, 260);
  move(360, 100);
  EXPECT_EQ(field(Field::kYMin), yMin);
  EXPECT_EQ(field(Field::kYMax), yMax);
  EXPECT_NE(field(Field::kXMin), "0");
}

TEST_F(ZoomPan, ParametricDragWithAutomaticScaleChangesNothingUntilRelease) {
  state().optTwoFunctions = flagOn;
  state().optAutoScale = flagOn;
  ASSERT_EQ(draw("F(x)=cos(x)", "G(x)=sin(x)"), DrawOutcome::kDrawn);
  const auto writes = view.writes.size();
  const Bitmap before = app->image;
  press(300, 200);
  move(350, 250);
  EXPECT_EQ(view.writes.size(), writes);
  EXPECT_EQ(std::memcmp(before.data(), app->image.data(), 4u * 640 * 440), 0);
  release();
  EXPECT_EQ(draws(), 1);
}

TEST_F(ZoomPan, ParametricDragKeepsOnlyPointsInsideTheNewRanges) {
  state().optTwoFunctions = flagOn;
  state().optLines = flagOn;
  view.texts[Field::kZCount] = "100";
  view.texts[Field::kXMin] = "-10";
  view.texts[Field::kYMin] = "-10";
  view.texts[Field::kYMax] = "10";
  ASSERT_EQ(draw("F(x)=x-5", "G(x)=2*x-10"), DrawOutcome::kDrawn);
  press(300, 200);
  move(600, 200);  // half the width to the right: x from -20 to 0
  EXPECT_EQ(field(Field::kXMin), "-20");
  EXPECT_EQ(field(Field::kXMax), "0");
  const auto& s = state();
  for (int i = 0; i < 100; ++i) {
    const auto& pa = app->explore.panSamplesA[i];
    if (s.samplesA[i] <= 0) {
      EXPECT_EQ(pa, s.samplesA[i]) << i;
    } else {
      EXPECT_TRUE(isNoSample(pa)) << i;
    }
    EXPECT_EQ(app->explore.panSamplesB[i], s.samplesB[i]) << i;  // y did not move
  }
  // Kept are x from -5 to just below 0: columns 469 to 617. No segment
  // reaches into the part the drag emptied.
  EXPECT_GT(curvePixels(600), 0);
  for (int x = 20; x < 469; ++x) EXPECT_EQ(curvePixels(x), 0) << x;
  EXPECT_EQ(curvePixels(619), 0);
}

class PanPreview : public ZoomPan {
 protected:
  // An empty preview buffer over a fresh frame, y from -5 to 5 (H = 400).
  void SetUp() override {
    ZoomPan::SetUp();
    ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
    RenderContext c = context();
    showEmptyPlot(c, view);
    app->explore.panSamplesA.fill(noSample());
  }
  void paint() {
    RenderContext c = context();
    paintCartesianCurve(c, app->explore.panSamplesA, CurvePass::kPreview);
  }
  static int rowOf(long double v) {  // H + 19 - nearest((v + 5) * 399 / 10)
    return 419 - static_cast<int>(std::llrint((v + 5) * 399 / 10));
  }
};

TEST_F(PanPreview, FilledDotsStaySinglePixelsWithThickOn) {
  state().optFilled = flagOn;
  state().optThick = flagOn;
  app->explore.panSamplesA[100] = 2;
  paint();
  const int row = rowOf(2);
  EXPECT_EQ(app->image.pixel(120, row), state().curveColor);
  EXPECT_NE(app->image.pixel(121, row), state().curveColor);
  EXPECT_EQ(curvePixels(120), state().xAxisRow - row + 1);  // filled down to the axis
}

TEST_F(PanPreview, ThickDotsAreSquaresInTheValuesColour) {
  state().optThick = flagOn;
  app->explore.panSamplesA[100] = -2;
  paint();
  const int row = rowOf(-2);
  for (int dx : {0, 1}) {
    for (int dy : {0, 1}) {
      EXPECT_EQ(app->image.pixel(120 + dx, row + dy), state().curveColorDark) << dx << dy;
    }
  }
  EXPECT_EQ(curvePixels(122), 0);
}

TEST_F(PanPreview, LinesNeverJoinAGap) {
  state().optLines = flagOn;
  auto& v = app->explore.panSamplesA;
  v[10] = 1;
  v[11] = 1;  // joined to column 10
  v[13] = 3;  // after the gap at 12: not joined
  v[14] = 3;
  paint();
  EXPECT_EQ(app->image.pixel(30, rowOf(1)), state().curveColor);
  EXPECT_EQ(curvePixels(32), 0);
  EXPECT_EQ(curvePixels(33), 1);  // segment 13 -> 14 paints column 33 only
  EXPECT_EQ(curveRow(33), rowOf(3));
  EXPECT_EQ(curvePixels(34), 0);
}

TEST_F(PanPreview, FilledLinesEndOnTheEdgeForPointsBeyondIt) {
  state().optLines = flagOn;
  state().optFilled = flagOn;
  auto& v = app->explore.panSamplesA;
  v[200] = 4;
  v[201] = 50;  // far above y max: fillColumn clamps the row to the top edge
  paint();
  // The segment from row 60 runs up toward row 20 instead of being left out;
  // column 220, the first after a gap, is not filled.
  EXPECT_LT(curveRow(220), 45);
  for (int y = 61; y <= state().xAxisRow; ++y) {
    EXPECT_NE(app->image.pixel(220, y), state().curveColor) << y;
  }
  EXPECT_EQ(curvePixels(221), state().xAxisRow - 20 + 1);
}

TEST_F(PanPreview, FilledLinesFillTheFirstColumn) {
  state().optLines = flagOn;
  state().optFilled = flagOn;
  app->explore.panSamplesA[0] = 2;
  paint();
  EXPECT_EQ(curvePixels(20), state().xAxisRow - rowOf(2) + 1);
}

TEST_F(PanPreview, LinesPullRowsJustBesideThePlotOntoItsEdge) {
  struct Case {
    long double value;
    int row;      // of the value, before pulling
    bool joined;  // pulled onto the edge and joined to the sample before it
  };
  state().optLines = flagOn;
  auto& v = app->explore.panSamplesA;
  for (const Case& c :
       {Case{5.025L, 19, true}, Case{5.05L, 18, true}, Case{5.075L, 17, false},
        Case{-5.025L, 420, true}, Case{-5.05L, 421, true}, Case{-5.075L, 422, false}}) {
    ASSERT_EQ(rowOf(c.value), c.row) << static_cast<double>(c.value);
    RenderContext context = this->context();
    showEmptyPlot(context, view);
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
  state().optTwoFunctions = flagOn;
  state().optLines = flagOn;
  state().zCount = 4;
  auto& a = app->explore.panSamplesA;
  auto& b = app->explore.panSamplesB;
  // Points at x = 2, 8 (y missing), 2, 8 with y = 0, -, 3, 3 (x from 0 to 10).
  a[0] = 2, b[0] = 0;
  a[1] = 8, b[1] = noSample();
  a[2] = 2, b[2] = 3;
  a[3] = 8, b[3] = 3;
  RenderContext c = context();
  paintPointCurve(c, app->explore.panSamplesA, app->explore.panSamplesB, CurvePass::kPreview);
  const int rowZero = rowOf(0);
  const int rowThree = rowOf(3);
  for (int x = 20; x < 620; ++x) {
    for (int y = 20; y < 420; ++y) {
      const bool curve = app->image.pixel(x, y) == state().curveColor;
      if (curve) {
        EXPECT_EQ(y, rowThree) << x;  // only the segment from point 2 to 3
      }
    }
  }
  EXPECT_EQ(curvePixels(20 + 300), 1);
  EXPECT_NE(app->image.pixel(320, rowZero), state().curveColor);
}

TEST_F(PanPreview, AFlatRangeDrawsNothing) {
  state().yMax = state().yMin;
  app->explore.panSamplesA.fill(0);
  const Bitmap before = app->image;
  paint();
  state().optLines = flagOn;
  paint();
  EXPECT_EQ(std::memcmp(before.data(), app->image.data(), 4u * 640 * 440), 0);
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
