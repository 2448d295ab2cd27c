#include "plot/plot_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace kurvana {
namespace {

constexpr Color rgb(Color red, Color green, Color blue) {
  return red | (green << 8) | (blue << 16);
}

TEST(PlotStateTest, DefaultsWithoutSettings) {
  const auto state = std::make_unique<PlotState>();
  EXPECT_EQ(state->xMin, 0.0L);
  EXPECT_EQ(state->xMax, 10.0L);
  EXPECT_EQ(state->yMin, -5.0L);
  EXPECT_EQ(state->yMax, 5.0L);
  EXPECT_EQ(state->zMin, 0.0L);
  EXPECT_EQ(state->zMax, 10.0L);
  EXPECT_EQ(state->zCount, 1000);

  // Grid, axes and darker negative on; every other flag off.
  EXPECT_EQ(state->optGrid, flagOn);
  EXPECT_EQ(state->optAxes, flagOn);
  EXPECT_EQ(state->optDarkNegative, flagOn);
  for (const std::uint8_t flag :
       {state->optAutoScale, state->optLines, state->optFilled, state->optCircle,
        state->optWhiteBack, state->optReport, state->optPolar, state->optThick,
        state->optAntialias, state->optLanguage, state->optTwoFunctions}) {
    EXPECT_EQ(flag, flagOff);
  }

  EXPECT_EQ(state->curveColor, rgb(96, 96, 255));
  EXPECT_EQ(state->curveColorDark, rgb(76, 76, 204));
  EXPECT_FALSE(state->plotValid);
  EXPECT_FALSE(state->circleShown);
}

TEST(PlotStateTest, C10DarkensEachChannelSeparately) {
  struct Case {
    Color input;
    Color expected;
  };
  const Case cases[] = {
      {0xFF6060, rgb(76, 76, 204)},
      {0x000000, 0x000000},
      {0xFFFFFF, rgb(204, 204, 204)},
      {rgb(9, 0, 0), rgb(7, 0, 0)},                     // truncation, no carry into green
      {rgb(0, 1, 255), rgb(0, 0, 204)},                 // 1 * 8 / 10 truncates to 0
      {rgb(255, 0, 0), rgb(204, 0, 0)},                 // red stays in the low byte
      {0xAB000000u | rgb(10, 20, 30), rgb(8, 16, 24)},  // unused top byte dropped
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c10(c.input), c.expected) << std::hex << c.input;
  }
}

TEST(PlotStateTest, SetCurveColorKeepsDarkVariantInStep) {
  const auto state = std::make_unique<PlotState>();
  setCurveColor(*state, rgb(100, 50, 10));
  EXPECT_EQ(state->curveColor, rgb(100, 50, 10));
  EXPECT_EQ(state->curveColorDark, rgb(80, 40, 8));
}

TEST(PlotStateTest, FlagsUseElevenAndTwentyTwo) {
  EXPECT_TRUE(isOn(flagOn));
  EXPECT_FALSE(isOn(flagOff));
  // Bytes a damaged settings file could hold count as off.
  for (const int damaged : {0, 1, 12, 21, 255}) {
    EXPECT_FALSE(isOn(static_cast<std::uint8_t>(damaged))) << damaged;
  }

  std::uint8_t flag = flagOff;
  toggle(flag);
  EXPECT_EQ(flag, flagOn);
  toggle(flag);
  EXPECT_EQ(flag, flagOff);

  // Anything but 22 toggles to 22: a damaged byte reads as off and stays off.
  for (const int damaged : {0, 1, 255}) {
    std::uint8_t bad = static_cast<std::uint8_t>(damaged);
    toggle(bad);
    EXPECT_EQ(bad, flagOff) << damaged;
  }
}

}  // namespace
}  // namespace kurvana
