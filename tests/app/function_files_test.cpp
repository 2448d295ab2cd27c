// Function files applied to the window: every option takes effect at once
// (scheme colours, swatch, toggle pictures, the range fields' enabling), and
// what a file does not reach keeps its value.
#include "app/function_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/fake_view.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

TEST(FunctionFiles, EveryFieldAndOptionRoundTripsThroughTheWindow) {
  for (const bool two : {false, true}) {
    for (const bool polar : {false, true}) {
      auto source = std::make_unique<PlotState>();
      source->optTwoFunctions = two ? flagOn : flagOff;
      source->optPolar = polar ? flagOn : flagOff;
      for (std::uint8_t PlotState::*f :
           {&PlotState::optFilled, &PlotState::optLines, &PlotState::optAntialias,
            &PlotState::optWhiteBack, &PlotState::optThick, &PlotState::optAutoScale}) {
        (*source).*f = flagOn;
      }
      source->optAxes = source->optGrid = source->optDarkNegative = flagOff;
      setCurveColor(*source, 0x123456);
      testing::FakeView typed;
      typed.texts = {{Field::kFormulaF, "f(x) = x^2"},
                     {Field::kFormulaG, "G(x)=cos(x)"},
                     {Field::kXMin, "-1,5"},
                     {Field::kXMax, " 2e3"},
                     {Field::kYMin, "abc"},
                     {Field::kYMax, "7"},
                     {Field::kZMin, "-3"},
                     {Field::kZMax, "3.5"},
                     {Field::kZCount, "250"}};
      const std::string text = functionFileText(functionFileOf(*source, typed));

      auto target = std::make_unique<PlotState>();
      target->optTwoFunctions = source->optTwoFunctions;
      testing::FakeView loaded;
      applyFunctionFile(*target, loaded, parseFunctionFile(text, two));
      for (auto [field, value] : typed.texts) {
        const bool z = field == Field::kZMin || field == Field::kZMax || field == Field::kZCount;
        if ((field == Field::kFormulaG && !two) || (z && !two && !polar)) {
          EXPECT_EQ(loaded.texts.count(field), 0u) << two << polar;  // not touched
          continue;
        }
        EXPECT_EQ(loaded.texts[field], value) << two << polar;
      }
      EXPECT_EQ(target->optPolar, source->optPolar);
      EXPECT_EQ(target->optFilled, two ? flagOff : flagOn);  // no fill with two functions
      EXPECT_EQ(loaded.toggles.count(Toggle::kFilled), two ? 0u : 1u);
      EXPECT_EQ(target->optLines, flagOn);
      EXPECT_TRUE(loaded.toggles[Toggle::kLines]);
      EXPECT_EQ(target->optAntialias, flagOn);
      EXPECT_EQ(target->optWhiteBack, flagOn);
      EXPECT_EQ(target->backColor, 0xFFFFFFu);  // the scheme follows at once
      EXPECT_EQ(target->optThick, flagOn);
      EXPECT_EQ(target->optAutoScale, flagOn);
      EXPECT_EQ(target->optAxes, flagOff);
      EXPECT_EQ(target->optGrid, flagOff);
      EXPECT_EQ(target->optDarkNegative, flagOff);
      EXPECT_EQ(target->curveColor, 0x123456u);
      EXPECT_EQ(target->curveColorDark, c10(0x123456));
      EXPECT_EQ(loaded.swatch, 0x123456u);
      EXPECT_TRUE(loaded.toggles[Toggle::kAutoScale]);
      EXPECT_FALSE(loaded.isEnabled(Field::kYMin));  // auto disables the y fields at once
    }
  }
}

TEST(FunctionFiles, AShortFileKeepsWhatItDoesNotReach) {
  auto state = std::make_unique<PlotState>();
  PlotState& s = *state;
  s.optLines = flagOn;
  setCurveColor(s, 0x00FF00);
  testing::FakeView view;
  applyFunctionFile(s, view, parseFunctionFile("F(x)=cos(x)\r\n", false));
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=cos(x)");
  EXPECT_EQ(s.optPolar, flagOff);
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) {
    EXPECT_EQ(view.texts[f], "");
  }
  EXPECT_EQ(s.optLines, flagOn);
  EXPECT_EQ(s.curveColor, 0x00FF00u);
  EXPECT_FALSE(view.swatch);
  EXPECT_TRUE(view.toggles.empty());
}

TEST(FunctionFiles, AColourThatIsNoNumberKeepsThePreviousOne) {
  auto state = std::make_unique<PlotState>();
  PlotState& s = *state;
  testing::FakeView view;
  setCurveColor(s, 0x0000FF);
  std::string text = functionFileText(functionFileOf(s, view));
  text.replace(text.find("color = 255"), 11, "color = red");
  setCurveColor(s, 0x00FF00);
  applyFunctionFile(s, view, parseFunctionFile(text, false));
  EXPECT_EQ(s.curveColor, 0x00FF00u);
  EXPECT_EQ(s.curveColorDark, c10(0x00FF00));
  EXPECT_EQ(view.swatch, 0x00FF00u);  // the swatch is shown again all the same
}

TEST(FunctionFiles, ALoadThatCannotReadAppliesNothing) {
  const fs::path folder = fs::temp_directory_path() / ("kurvana_aff_" + std::to_string(::getpid()));
  fs::create_directories(folder);
  auto state = std::make_unique<PlotState>();
  testing::FakeView view;
  view.texts[Field::kFormulaF] = "F(x)=SIN(X)";
  const fs::path path = folder / "sine.kv1";
  ASSERT_EQ(saveFunctionFile(*state, view, path).message(), "");
  view.texts[Field::kFormulaF] = "changed";
  ASSERT_EQ(loadFunctionFile(*state, view, path).message(), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=SIN(X)");

  view.writes.clear();
  const Status missing = loadFunctionFile(*state, view, folder / "nothing.kv1");
  EXPECT_EQ(missing.message(),
            "Cannot read \"" + (folder / "nothing.kv1").string() + "\": No such file or directory");
  EXPECT_TRUE(view.writes.empty());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace kurvana
