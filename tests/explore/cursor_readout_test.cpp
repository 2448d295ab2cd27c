// The readout under the pointer: column values and derivative, the walk along
// parametric and polar curves, and the ring that marks the point.
#include "explore/cursor_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "explore/explore_fixture.h"
#include "plot/number_format.h"
#include "render/artwork.h"

namespace kurvana {
namespace {

using testing::ExploreTest;

constexpr Color kRing = 0x002987;  // RGB (135, 41, 0)

// Pixels of the ring picture within the 15 x 15 area centred on (cx, cy).
int ringPixelsAround(const Bitmap& image, int cx, int cy) {
  int n = 0;
  for (int y = cy - 7; y <= cy + 7; ++y) {
    for (int x = cx - 7; x <= cx + 7; ++x) n += image.pixel(x, y) == kRing ? 1 : 0;
  }
  return n;
}

int ringPixels(const Bitmap& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == kRing ? 1 : 0;
  }
  return n;
}

bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
    }
  }
  return true;
}

using CursorReadout = ExploreTest;

TEST_F(CursorReadout, DerivativeNearTheEdgesSumsOnlyDifferencesInsideThePlot) {
  // x from 0 to 599 over 600 columns: h = 1, slope 3.
  view.texts[Field::kXMax] = "599";
  view.texts[Field::kYMin] = "-10";
  view.texts[Field::kYMax] = "2000";
  ASSERT_EQ(draw("F(x)=3*x"), DrawOutcome::kDrawn);
  const struct {
    int column;
    const char* derivative;
  } cases[] = {{0, "= 1.5"}, {1, "= 2.25"},   {2, "= 3"},    {300, "= 3"},
               {597, "= 3"}, {598, "= 2.25"}, {599, "= 1.5"}};
  for (const auto& c : cases) {
    move(c.column + 20, 100);
    EXPECT_EQ(label(Label::kReadoutDerivative), c.derivative) << "column " << c.column;
    EXPECT_EQ(label(Label::kReadoutX), "= " + std::to_string(c.column)) << c.column;
    EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(3.0L * c.column, "."));
  }
}

TEST_F(CursorReadout, ParabolaShowsTwiceX) {
  view.texts[Field::kYMax] = "100";
  ASSERT_EQ(draw("F(x)=x^2"), DrawOutcome::kDrawn);
  for (int c : {2, 50, 123, 300, 597}) {
    move(c + 20, 50);
    const long double x = 10.0L * c / 599;
    EXPECT_EQ(label(Label::kReadoutX), "= " + formatGeneral(x, ".")) << c;
    EXPECT_EQ(label(Label::kReadoutDerivative), "= " + formatGeneral(2 * x, ".")) << c;
  }
}

TEST_F(CursorReadout, AnOverflowingDerivativeShowsE) {
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  // The differences around column 101 add up to F(103) - F(99), beyond the
  // extended range.
  state().samplesA[99] = -1.1e4932L;
  state().samplesA[103] = 1.1e4932L;
  move(121, 50);
  EXPECT_EQ(label(Label::kReadoutDerivative), "= E");
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(state().samplesA[101], "."));
}

TEST_F(CursorReadout, TheRingMarksTheSampleAndLeavesNoTrace) {
  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  const Bitmap before = app->image;
  move(320, 7);  // any row: the column alone selects the sample
  ASSERT_TRUE(state().circleShown);
  const long double v = state().samplesA[300];
  const long double row = 399 - (v + 5) * 399 / 10;
  const int cy = static_cast<int>(std::llrint(row + 20));
  EXPECT_EQ(app->explore.circleRect.left, 313);
  EXPECT_EQ(app->explore.circleRect.top, cy - 7);
  EXPECT_EQ(app->explore.circleRect.right, 328);
  EXPECT_EQ(app->explore.circleRect.bottom, cy + 8);
  EXPECT_EQ(ringPixelsAround(app->image, 320, cy), ringPixels(artwork().cursorRing));
  EXPECT_EQ(app->image.pixel(320, cy), before.pixel(320, cy));  // the centre shows through

  move(420, 7);
  EXPECT_EQ(ringPixels(app->image), ringPixels(artwork().cursorRing));  // one ring at a time
  eraseCircle(state(), app->image, app->explore);
  EXPECT_FALSE(state().circleShown);
  EXPECT_TRUE(samePixels(app->image, before));
  eraseCircle(state(), app->image, app->explore);  // nothing shown: nothing happens
  EXPECT_TRUE(samePixels(app->image, before));
}

// The readout as a value: texts for the three labels and the ring's centre;
// nothing at all for a column off the plot, the texts but no ring when the
// ring is off.
TEST_F(CursorReadout, ReturnsItsTextsAndTheRingsCentre) {
  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x-5"), DrawOutcome::kDrawn);
  RenderContext c = context();
  const Readout shown = readout(c, app->explore, Keys{}, 320, 7);
  const long double v = state().samplesA[300];
  EXPECT_EQ(shown.x, "= " + formatGeneral(300 * 10.0L / 599, "."));
  EXPECT_EQ(shown.f, "= " + formatGeneral(v, "."));
  EXPECT_EQ(shown.derivative, "= 1");
  ASSERT_TRUE(shown.ring.has_value());
  EXPECT_EQ(shown.ring->x, 320);
  EXPECT_EQ(shown.ring->y, static_cast<int>(std::llrint(399 - (v + 5) * 399 / 10 + 20)));

  for (const int x : {19, 620}) {
    const Readout off = readout(c, app->explore, Keys{}, x, 7);
    EXPECT_FALSE(off.x || off.f || off.derivative || off.ring) << x;
  }
  state().optCircle = flagOff;
  const Readout plain = readout(c, app->explore, Keys{}, 20, 7);
  EXPECT_EQ(plain.x, "= 0");
  EXPECT_FALSE(plain.ring.has_value());
}

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

TEST_F(CursorReadout, AValueOffThePlotStillReadsButTakesTheRingAway) {
  state().optCircle = flagOn;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);  // above y max from x = 5 on
  const Bitmap before = app->image;
  move(100, 50);
  ASSERT_TRUE(state().circleShown);
  move(500, 50);
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(state().samplesA[480], "."));
  EXPECT_FALSE(state().circleShown);
  EXPECT_TRUE(samePixels(app->image, before));
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

TEST_F(Walk, RunsToTheEndTurnsAndComesBack) {
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  EXPECT_EQ(walk(11), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 8}));
  EXPECT_EQ(app->explore.walkStep, -1);
}

TEST_F(Walk, AModifierKeyWalksBackwardsAndTurnsAtTheStart) {
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  for (Keys keys : {Keys{.shift = true}, Keys{.alt = true}, Keys{.ctrl = true}}) {
    app->explore.walkIndex = 2;
    app->explore.walkStep = 1;
    EXPECT_EQ(walk(4, keys), (std::vector<int>{1, 0, 0, 1}));
  }
}

TEST_F(Walk, RepeatedPositionAdvancesOnce) {
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  move(50, 60);
  move(50, 60);
  EXPECT_EQ(app->explore.walkIndex, 1);
  move(50, 61);
  EXPECT_EQ(app->explore.walkIndex, 2);
}

TEST_F(Walk, LabelsAndRingShowTheSample) {
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  walk(3);  // index 3: t = 10/3
  const long double t = 3 * 10.0L / 9;
  EXPECT_EQ(label(Label::kReadoutX), "= " + formatGeneral(t, "."));
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(state().samplesA[3], "."));
  EXPECT_EQ(label(Label::kReadoutDerivative), "= " + formatGeneral(state().samplesB[3], "."));
  const int cx = static_cast<int>(std::llrint((state().samplesA[3] + 20) * 599 / 40)) + 20;
  const int cy = 399 - static_cast<int>(std::llrint((state().samplesB[3] + 20) * 399 / 40)) + 20;
  EXPECT_EQ(app->explore.circleRect.left, cx - 7);
  EXPECT_EQ(app->explore.circleRect.top, cy - 7);
  EXPECT_EQ(ringPixelsAround(app->image, cx, cy), ringPixels(artwork().cursorRing));

  walk(5);  // index 8: G = 17.8 is in range
  EXPECT_TRUE(state().circleShown);
  view.texts[Field::kYMax] = "15";
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  walk(1);  // index 9 again after the bounce: G = 20 lies above y max
  EXPECT_FALSE(state().circleShown);
}

TEST_F(Walk, WithoutTheRingOptionAllLabelsReadZero) {
  state().optCircle = flagOff;
  ASSERT_EQ(draw("F(x)=x", "G(x)=2*x"), DrawOutcome::kDrawn);
  const Bitmap before = app->image;
  walk(4);
  EXPECT_EQ(app->explore.walkIndex, 4);
  EXPECT_EQ(label(Label::kReadoutX), "= 0");
  EXPECT_EQ(label(Label::kReadoutF), "= 0");
  EXPECT_EQ(label(Label::kReadoutDerivative), "= 0");
  EXPECT_TRUE(samePixels(app->image, before));
}

TEST_F(Walk, PolarTwoFunctionsDividesOutTheAngleAndShowsZeroOnFailure) {
  state().optPolar = flagOn;
  view.texts[Field::kZMax] = "9";  // t = 0, 1, ... 9
  ASSERT_EQ(draw("F(x)=3", "G(x)=5"), DrawOutcome::kDrawn);
  app->explore.walkIndex = -1;
  walk(1);  // index 0, t = 0: G(t) sin t is 0, and 0 / sin 0 fails
  EXPECT_EQ(label(Label::kReadoutF), "= 3");
  EXPECT_EQ(label(Label::kReadoutDerivative), "= 0");
  walk(1);
  EXPECT_EQ(label(Label::kReadoutX), "= 1");
  EXPECT_EQ(label(Label::kReadoutF), "= 3");
  EXPECT_EQ(label(Label::kReadoutDerivative), "= 5");
}

TEST_F(Walk, PolarShowsTheDistanceAndLeavesTheThirdLabel) {
  state().optTwoFunctions = flagOff;
  state().optPolar = flagOn;
  ASSERT_EQ(draw("F(x)=2+x/10"), DrawOutcome::kDrawn);
  walk(2);
  const long double a = state().samplesA[2];
  const long double b = state().samplesB[2];
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(std::sqrt(a * a + b * b), "."));
  EXPECT_EQ(label(Label::kReadoutDerivative), "= 0");  // from the empty plot
}

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

}  // namespace
}  // namespace kurvana
