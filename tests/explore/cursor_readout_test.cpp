// The readout under the pointer as a value, on plots drawn as values: column
// values and derivative, the walk along parametric and polar curves, and the
// ring that marks the point. (tests/app/explore_commands_test.cpp moves the
// pointer over a plot drawn through the controller and reads the labels.)
#include "explore/cursor_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "explore/drawn_plot.h"
#include "plot/number_format.h"
#include "render/artwork.h"

namespace kurvana {
namespace {

using testing::ringPixels;
using testing::ringPixelsAround;
using testing::samePixels;

class CursorReadout : public testing::DrawnPlot {
 protected:
  Readout move(int x, int y, Keys keys = {}) {
    RenderContext c = context();
    return readout(c, explore, keys, x, y);
  }
};

TEST_F(CursorReadout, DerivativeNearTheEdgesSumsOnlyDifferencesInsideThePlot) {
  // x from 0 to 599 over 600 columns: h = 1, slope 3.
  s.xMax = 599;
  s.yMin = -10;
  s.yMax = 2000;
  drawCartesian([](long double x) { return 3 * x; });
  const struct {
    int column;
    const char* derivative;
  } cases[] = {{0, "= 1.5"}, {1, "= 2.25"},   {2, "= 3"},    {300, "= 3"},
               {597, "= 3"}, {598, "= 2.25"}, {599, "= 1.5"}};
  for (const auto& c : cases) {
    const Readout shown = move(c.column + 20, 100);
    EXPECT_EQ(shown.derivative, c.derivative) << "column " << c.column;
    EXPECT_EQ(shown.x, "= " + std::to_string(c.column)) << c.column;
    EXPECT_EQ(shown.f, "= " + formatGeneral(3.0L * c.column, "."));
  }
}

TEST_F(CursorReadout, ParabolaShowsTwiceX) {
  s.yMax = 100;
  drawCartesian([](long double x) { return x * x; });
  for (int c : {2, 50, 123, 300, 597}) {
    const Readout shown = move(c + 20, 50);
    const long double x = 10.0L * c / 599;
    EXPECT_EQ(shown.x, "= " + formatGeneral(x, ".")) << c;
    EXPECT_EQ(shown.derivative, "= " + formatGeneral(2 * x, ".")) << c;
  }
}

TEST_F(CursorReadout, AnOverflowingDerivativeShowsE) {
  drawCartesian([](long double x) { return x; });
  // The differences around column 101 add up to F(103) - F(99), beyond the
  // extended range.
  s.samplesA[99] = -1.1e4932L;
  s.samplesA[103] = 1.1e4932L;
  const Readout shown = move(121, 50);
  EXPECT_EQ(shown.derivative, "= E");
  EXPECT_EQ(shown.f, "= " + formatGeneral(s.samplesA[101], "."));
}

TEST_F(CursorReadout, TheRingMarksTheSampleAndLeavesNoTrace) {
  s.optCircle = flagOn;
  drawCartesian([](long double x) { return x - 5; });
  const Bitmap before = image;
  move(320, 7);  // any row: the column alone selects the sample
  ASSERT_TRUE(s.circleShown);
  const long double v = s.samplesA[300];
  const long double row = 399 - (v + 5) * 399 / 10;
  const int cy = static_cast<int>(std::llrint(row + 20));
  EXPECT_EQ(explore.circleRect.left, 313);
  EXPECT_EQ(explore.circleRect.top, cy - 7);
  EXPECT_EQ(explore.circleRect.right, 328);
  EXPECT_EQ(explore.circleRect.bottom, cy + 8);
  EXPECT_EQ(ringPixelsAround(image, 320, cy), ringPixels(artwork().cursorRing));
  EXPECT_EQ(image.pixel(320, cy), before.pixel(320, cy));  // the centre shows through

  move(420, 7);
  EXPECT_EQ(ringPixels(image), ringPixels(artwork().cursorRing));  // one ring at a time
  eraseCircle(s, image, explore);
  EXPECT_FALSE(s.circleShown);
  EXPECT_TRUE(samePixels(image, before));
  eraseCircle(s, image, explore);  // nothing shown: nothing happens
  EXPECT_TRUE(samePixels(image, before));
}

// The texts for the three labels and the ring's centre; nothing at all for a
// column off the plot, the texts but no ring when the ring is off.
TEST_F(CursorReadout, ReturnsItsTextsAndTheRingsCentre) {
  s.optCircle = flagOn;
  drawCartesian([](long double x) { return x - 5; });
  const Readout shown = move(320, 7);
  const long double v = s.samplesA[300];
  EXPECT_EQ(shown.x, "= " + formatGeneral(300 * 10.0L / 599, "."));
  EXPECT_EQ(shown.f, "= " + formatGeneral(v, "."));
  EXPECT_EQ(shown.derivative, "= 1");
  ASSERT_TRUE(shown.ring.has_value());
  EXPECT_EQ(shown.ring->x, 320);
  EXPECT_EQ(shown.ring->y, static_cast<int>(std::llrint(399 - (v + 5) * 399 / 10 + 20)));

  const Bitmap ringed = image;
  for (const int x : {19, 0, -5, 620, 639}) {
    const Readout off = move(x, 7);
    EXPECT_FALSE(off.x || off.f || off.derivative || off.ring) << x;
    EXPECT_TRUE(s.circleShown) << x;  // the margins leave the ring where it was
    EXPECT_TRUE(samePixels(image, ringed)) << x;
  }
  s.optCircle = flagOff;
  const Readout plain = move(20, 7);
  EXPECT_EQ(plain.x, "= 0");
  EXPECT_FALSE(plain.ring.has_value());
}

TEST_F(CursorReadout, AValueOffThePlotStillReadsButTakesTheRingAway) {
  s.optCircle = flagOn;
  drawCartesian([](long double x) { return x; });  // above y max from x = 5 on
  const Bitmap before = image;
  move(100, 50);
  ASSERT_TRUE(s.circleShown);
  const Readout shown = move(500, 50);
  EXPECT_EQ(shown.f, "= " + formatGeneral(s.samplesA[480], "."));
  EXPECT_FALSE(shown.ring.has_value());
  EXPECT_FALSE(s.circleShown);
  EXPECT_TRUE(samePixels(image, before));
}

class Trace : public testing::DrawnPlot {
 protected:
  Readout key(TraceMove move, int steps = 1) {
    RenderContext c = context();
    return traceReadout(c, explore, move, steps);
  }
  Readout pointer(int x, int y, Keys keys = {}) {
    RenderContext c = context();
    return readout(c, explore, keys, x, y);
  }
  static void expectSame(const Readout& a, const Readout& b) {
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.f, b.f);
    EXPECT_EQ(a.derivative, b.derivative);
    ASSERT_EQ(a.ring.has_value(), b.ring.has_value());
    if (a.ring) {
      EXPECT_EQ(a.ring->x, b.ring->x);
      EXPECT_EQ(a.ring->y, b.ring->y);
    }
  }
};

// Each key lands on the column it should, and shows there exactly what the
// pointer shows: the texts, the ring and every pixel.
TEST_F(Trace, CartesianKeysMoveByColumnsAndShowWhatThePointerShows) {
  s.optCircle = flagOn;
  drawCartesian([](long double x) { return x - 5; });
  const Bitmap drawn = image;
  const struct {
    TraceMove move;
    int steps;
    int column;
  } cases[] = {
      {TraceMove::kForward, 1, 299},    // the first step lands on (600 - 1) / 2
      {TraceMove::kForward, 1, 300},    {TraceMove::kForward, 10, 310},
      {TraceMove::kBackward, 1, 309},   {TraceMove::kFirst, 1, 0},
      {TraceMove::kBackward, 1, 0},     {TraceMove::kBackward, 10, 0},
      {TraceMove::kForward, 10, 10},    {TraceMove::kLast, 1, 599},
      {TraceMove::kForward, 1, 599},    {TraceMove::kBackward, 10, 589},
      {TraceMove::kForward, 10, 599},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    const Readout byKey = key(c.move, c.steps);
    const Bitmap keyed = image;
    EXPECT_EQ(explore.traceColumn, c.column);
    EXPECT_EQ(byKey.x, "= " + formatGeneral(c.column * 10.0L / 599, "."));
    eraseCircle(s, image, explore);
    ASSERT_TRUE(samePixels(image, drawn));
    expectSame(byKey, pointer(c.column + 20, 123));
    EXPECT_TRUE(samePixels(image, keyed));
  }
}

TEST_F(Trace, CartesianKeysGoOnFromThePointersColumn) {
  drawCartesian([](long double x) { return x; });
  pointer(20 + 42, 5);
  const Readout byKey = key(TraceMove::kForward);
  EXPECT_EQ(explore.traceColumn, 43);
  EXPECT_EQ(byKey.x, pointer(20 + 43, 5).x);
  pointer(10, 5);  // in the margin: no readout, the trace stays
  EXPECT_EQ(explore.traceColumn, 43);
  key(TraceMove::kBackward);
  EXPECT_EQ(explore.traceColumn, 42);

  // Either first step lands on the middle column: (W - 1) / 2, rounded down
  // for an even width.
  explore.traceColumn = -1;
  key(TraceMove::kBackward);
  EXPECT_EQ(explore.traceColumn, 299);
  explore.traceColumn = -1;
  plotSize(601, 400);
  drawCartesian([](long double x) { return x; });
  ASSERT_EQ(s.plotWidth, 601);
  key(TraceMove::kForward);
  EXPECT_EQ(explore.traceColumn, 300);

  // A narrower plot: the trace goes on from its last column.
  plotSize(300, 400);
  drawCartesian([](long double x) { return x; });
  ASSERT_EQ(s.plotWidth, 300);
  explore.traceColumn = 500;
  key(TraceMove::kBackward);
  EXPECT_EQ(explore.traceColumn, 298);
  explore.traceColumn = 500;
  key(TraceMove::kForward);
  EXPECT_EQ(explore.traceColumn, 299);
}

TEST_F(Trace, TheWalkStepsAndStopsAtTheEndsWithoutTurning) {
  s.optTwoFunctions = flagOn;
  s.optCircle = flagOn;
  s.zCount = 10;
  s.xMin = -2;
  s.xMax = 2;
  s.yMin = -2;
  s.yMax = 2;
  drawPoints([](long double t) { return std::cos(t); }, [](long double t) { return std::sin(t); });
  const struct {
    TraceMove move;
    int steps;
    int index;
  } cases[] = {
      {TraceMove::kForward, 1, 1},  {TraceMove::kForward, 10, 9}, {TraceMove::kForward, 1, 9},
      {TraceMove::kBackward, 1, 8}, {TraceMove::kFirst, 1, 0},    {TraceMove::kBackward, 1, 0},
      {TraceMove::kLast, 1, 9},     {TraceMove::kBackward, 10, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    key(c.move, c.steps);
    EXPECT_EQ(explore.walkIndex, c.index);
    EXPECT_EQ(explore.walkStep, 1);  // the pointer's direction is its own
  }

  // From index 3 a key step forward and a pointer move show the same point.
  explore.walkIndex = 3;
  const Readout byKey = key(TraceMove::kForward);
  const Bitmap keyed = image;
  explore.walkIndex = 3;
  expectSame(byKey, pointer(explore.lastMouseX + 1, explore.lastMouseY));
  EXPECT_EQ(explore.walkIndex, 4);
  EXPECT_TRUE(samePixels(image, keyed));

  // An index beyond a smaller count is pulled back first.
  s.zCount = 5;
  explore.walkIndex = 8;
  key(TraceMove::kBackward);
  EXPECT_EQ(explore.walkIndex, 3);
}

class Walk : public testing::DrawnPlot {
 protected:
  void SetUp() override {
    DrawnPlot::SetUp();
    s.optTwoFunctions = flagOn;
    s.optCircle = flagOn;
    s.zCount = 10;
    s.xMin = -20;
    s.xMax = 20;
    s.yMin = -20;
    s.yMax = 20;
  }

  // F(t) = t, G(t) = 2t.
  void drawLine() {
    drawPoints([](long double t) { return t; }, [](long double t) { return 2 * t; });
  }

  Readout move(int x, int y, Keys keys = {}) {
    RenderContext c = context();
    shown.push_back(readout(c, explore, keys, x, y));
    return shown.back();
  }

  // Moves to a new position each time; the walk's index after each.
  std::vector<int> walk(int moves, Keys keys = {}) {
    std::vector<int> seen;
    for (int k = 0; k < moves; ++k) {
      move(100 + next_, 100, keys);
      ++next_;
      seen.push_back(explore.walkIndex);
    }
    return seen;
  }

  std::vector<Readout> shown;  // every readout in order
  int next_ = 1;
};

TEST_F(Walk, RunsToTheEndTurnsAndComesBack) {
  drawLine();
  EXPECT_EQ(walk(11), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 8}));
  EXPECT_EQ(explore.walkStep, -1);
}

TEST_F(Walk, AModifierKeyWalksBackwardsAndTurnsAtTheStart) {
  drawLine();
  for (Keys keys : {Keys{.shift = true}, Keys{.alt = true}, Keys{.ctrl = true}}) {
    explore.walkIndex = 2;
    explore.walkStep = 1;
    EXPECT_EQ(walk(4, keys), (std::vector<int>{1, 0, 0, 1}));
  }
}

TEST_F(Walk, RepeatedPositionAdvancesOnce) {
  drawLine();
  move(50, 60);
  move(50, 60);
  EXPECT_EQ(explore.walkIndex, 1);
  move(50, 61);
  EXPECT_EQ(explore.walkIndex, 2);
}

TEST_F(Walk, TextsAndRingShowTheSample) {
  drawLine();
  walk(3);  // index 3: t = 10/3
  const long double t = 3 * 10.0L / 9;
  EXPECT_EQ(shown.back().x, "= " + formatGeneral(t, "."));
  EXPECT_EQ(shown.back().f, "= " + formatGeneral(s.samplesA[3], "."));
  EXPECT_EQ(shown.back().derivative, "= " + formatGeneral(s.samplesB[3], "."));
  const int cx = static_cast<int>(std::llrint((s.samplesA[3] + 20) * 599 / 40)) + 20;
  const int cy = 399 - static_cast<int>(std::llrint((s.samplesB[3] + 20) * 399 / 40)) + 20;
  EXPECT_EQ(explore.circleRect.left, cx - 7);
  EXPECT_EQ(explore.circleRect.top, cy - 7);
  EXPECT_EQ(ringPixelsAround(image, cx, cy), ringPixels(artwork().cursorRing));

  walk(5);  // index 8: G = 17.8 is in range
  EXPECT_TRUE(s.circleShown);
  s.yMax = 15;
  drawLine();
  walk(1);  // index 9 again after the bounce: G = 20 lies above y max
  EXPECT_FALSE(s.circleShown);
}

TEST_F(Walk, WithoutTheRingOptionAllTextsReadZero) {
  s.optCircle = flagOff;
  drawLine();
  const Bitmap before = image;
  walk(4);
  EXPECT_EQ(explore.walkIndex, 4);
  EXPECT_EQ(shown.back().x, "= 0");
  EXPECT_EQ(shown.back().f, "= 0");
  EXPECT_EQ(shown.back().derivative, "= 0");
  EXPECT_TRUE(samePixels(image, before));
}

TEST_F(Walk, PolarTwoFunctionsDividesOutTheAngleAndShowsZeroOnFailure) {
  s.optPolar = flagOn;
  s.zMax = 9;  // t = 0, 1, ... 9
  drawPoints([](long double) { return 3.0L; }, [](long double) { return 5.0L; });
  explore.walkIndex = -1;
  walk(1);  // index 0, t = 0: G(t) sin t is 0, and 0 / sin 0 fails
  EXPECT_EQ(shown.back().f, "= 3");
  EXPECT_EQ(shown.back().derivative, "= 0");
  walk(1);
  EXPECT_EQ(shown.back().x, "= 1");
  EXPECT_EQ(shown.back().f, "= 3");
  EXPECT_EQ(shown.back().derivative, "= 5");
}

TEST_F(Walk, PolarShowsTheDistanceAndLeavesTheThirdLabel) {
  s.optTwoFunctions = flagOff;
  s.optPolar = flagOn;
  const auto r = [](long double t) { return 2 + t / 10; };
  drawPoints(r, r);
  walk(2);
  const long double a = s.samplesA[2];
  const long double b = s.samplesB[2];
  EXPECT_EQ(shown.back().f, "= " + formatGeneral(std::sqrt(a * a + b * b), "."));
  for (const Readout& each : shown) EXPECT_FALSE(each.derivative.has_value());
}

}  // namespace
}  // namespace kurvana
