#include "plot/plot_state.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace kurvana {
namespace {

constexpr Color rgb(Color red, Color green, Color blue) {
  return red | (green << 8) | (blue << 16);
}

// What a first start works with before any settings exist: every flag a
// valid one, the dark colour derived from the colour, ranges a Draw accepts
// and a point count inside the field's range. (The values themselves are
// pinned by the settings record a first start writes.)
TEST(PlotStateTest, DefaultsAreAUsableStartingPoint) {
  const auto state = std::make_unique<PlotState>();
  for (const std::uint8_t flag :
       {state->optAutoScale, state->optLines, state->optFilled, state->optCircle,
        state->optWhiteBack, state->optGrid, state->optAxes, state->optDarkNegative,
        state->optReport, state->optPolar, state->optThick, state->optAntialias, state->optLanguage,
        state->optTwoFunctions}) {
    EXPECT_TRUE(flag == flagOn || flag == flagOff) << int{flag};
  }
  EXPECT_EQ(state->curveColorDark, c10(state->curveColor));
  EXPECT_LT(state->xMin, state->xMax);
  EXPECT_LT(state->yMin, state->yMax);
  EXPECT_LT(state->zMin, state->zMax);
  EXPECT_GE(state->zCount, 10);
  EXPECT_LE(state->zCount, 2000);
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
