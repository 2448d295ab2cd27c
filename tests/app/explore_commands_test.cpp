// Exploring a drawn plot through the controller as the main window does: the
// readout in its labels, the walk across Draws, zoom steps and the pan drag
// with their field writes, beeps and Draws. (tests/explore checks the
// readout, zoom and preview values on plots drawn as values.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/explore_fixture.h"
#include "explore/cursor_readout.h"
#include "explore/drawn_plot.h"
#include "explore/exploration.h"
#include "explore/zoom_pan.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

using testing::ExploreTest;
using testing::samePixels;

using CursorReadout = ExploreTest;

TEST_F(CursorReadout, MarginsChangeNothing) {
  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  move(100, 50);
  const auto labels = view.labels;
  const Bitmap ringed = app->image;
  for (int x : {19, 0, -5, 620, 639}) {
    move(x, 50);
    EXPECT_EQ(view.labels, labels) << x;
    EXPECT_TRUE(state().circleShown) << x;
    EXPECT_TRUE(samePixels(app->image, ringed)) << x;
  }
}

TEST_F(CursorReadout, WithoutTheRingOptionLabelsStillFollow) {
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  const Bitmap before = app->image;
  move(100, 50);
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(state().samplesA[80], "."));
  EXPECT_FALSE(state().circleShown);
  EXPECT_TRUE(samePixels(app->image, before));
}

TEST_F(CursorReadout, NothingWithoutAPlot) {
  ASSERT_EQ(draw("F(x)=1/(x-x)"), DrawOutcome::kEvaluationError);
  const auto labels = view.labels;
  move(100, 50);
  EXPECT_EQ(view.labels, labels);
}

class Walk : public ExploreTest {
 protected:
  void SetUp() override {
    ExploreTest::SetUp();
    state().optTwoFunctions = flagOn;
    state().optCircle = flagOn;
    view.texts[Field::kZCount] = "10";
    view.texts[Field::kXMin] = "-20";
    view.texts[Field::kXMax] = "20";
    view.texts[Field::kYMin] = "-20";
    view.texts[Field::kYMax] = "20";
  }

  std::vector<int> walk(int moves, Keys keys = {}) {
    std::vector<int> seen;
    for (int k = 0; k < moves; ++k) {
      move(100 + next_, 100, keys);
      ++next_;
      seen.push_back(app->explore.walkIndex);
    }
    return seen;
  }

  int next_ = 1;
};

TEST_F(Walk, ThePositionSurvivesDrawsAndABiggerIndexIsPulledBack) {
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  app->explore.walkIndex = 500;
  view.texts[Field::kZCount] = "20";
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  EXPECT_EQ(app->explore.walkIndex, 500);
  walk(1);
  EXPECT_EQ(app->explore.walkIndex, 19);
  EXPECT_EQ(app->explore.walkStep, -1);
}

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

}  // namespace
}  // namespace kurvana
