// The integral as a value: the rectangle sum and its label text.
#include "explore/integral.h"

#include <gtest/gtest.h>

#include <limits>

namespace kurvana {
namespace {

PlotState plotOf(std::initializer_list<long double> samples, long double xMin, long double xMax) {
  PlotState s;
  s.xMin = xMin;
  s.xMax = xMax;
  s.plotWidth = static_cast<int>(samples.size());
  std::size_t i = 0;
  for (const long double v : samples) s.samplesA[i++] = v;
  return s;
}

TEST(Integral, SumsWEqualPartsOfTheRange) {
  // Four parts of width 2 with heights 1 .. 4.
  const Integral sum = computeIntegral(plotOf({1, 2, 3, 4}, 0, 8), ".");
  EXPECT_EQ(sum.value, 20);
  EXPECT_EQ(sum.label, "= 20");
  const Integral half = computeIntegral(plotOf({1, 2}, 0, 1.5L), ",");
  EXPECT_EQ(half.value, 2.25L);
  EXPECT_EQ(half.label, "= 2,25");
}

TEST(Integral, AnOverflowShowsItsSignAndNoNumberAQuestionMark) {
  const long double big = std::numeric_limits<long double>::max();
  EXPECT_EQ(computeIntegral(plotOf({big, big}, 0, 4), ".").label, "= \u221E");
  EXPECT_EQ(computeIntegral(plotOf({-big, -big}, 0, 4), ".").label, "= -\u221E");
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  EXPECT_EQ(computeIntegral(plotOf({1, nan}, 0, 4), ".").label, "= ?");
  EXPECT_EQ(computeIntegral(plotOf({}, 0, 4), ".").label, "= 0");  // no plot width yet
}

}  // namespace
}  // namespace kurvana
