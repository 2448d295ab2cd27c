// The readout under the pointer as a value, on a plot drawn as values
// (tests/app/explore_commands_test.cpp moves the pointer over a plot drawn
// through the controller).
#include "explore/cursor_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "explore/drawn_plot.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

using CursorReadout = testing::DrawnPlot;

// The readout as a value: texts for the three labels and the ring's centre;
// nothing at all for a column off the plot, the texts but no ring when the
// ring is off.
TEST_F(CursorReadout, ReturnsItsTextsAndTheRingsCentre) {
  s.optCircle = flagOn;
  drawCartesian([](long double x) { return x - 5; });
  RenderContext c = context();
  const Readout shown = readout(c, explore, Keys{}, 320, 7);
  const long double v = s.samplesA[300];
  EXPECT_EQ(shown.x, "= " + formatGeneral(300 * 10.0L / 599, "."));
  EXPECT_EQ(shown.f, "= " + formatGeneral(v, "."));
  EXPECT_EQ(shown.derivative, "= 1");
  ASSERT_TRUE(shown.ring.has_value());
  EXPECT_EQ(shown.ring->x, 320);
  EXPECT_EQ(shown.ring->y, static_cast<int>(std::llrint(399 - (v + 5) * 399 / 10 + 20)));

  for (const int x : {19, 620}) {
    const Readout off = readout(c, explore, Keys{}, x, 7);
    EXPECT_FALSE(off.x || off.f || off.derivative || off.ring) << x;
  }
  s.optCircle = flagOff;
  const Readout plain = readout(c, explore, Keys{}, 20, 7);
  EXPECT_EQ(plain.x, "= 0");
  EXPECT_FALSE(plain.ring.has_value());
}

}  // namespace
}  // namespace kurvana
