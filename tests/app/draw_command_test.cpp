// The Draw command end to end on a fake window: validation, compilation,
// sampling in each mode, the failure reports and what it hands on.
#include "app/draw_command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/application.h"
#include "explore/zoom_pan.h"
#include "app/fake_view.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

class RecordingHooks : public DrawHooks {
 public:
  void eraseCircle() override { ++erased; }
  void recordHistory(const std::string& f, const std::string* g) override {
    history.push_back(f + "|" + (g != nullptr ? *g : std::string("-")));
  }
  void report() override { ++reports; }

  int erased = 0;
  int reports = 0;
  std::vector<std::string> history;
};

class DrawCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    app->decimalSeparator = ".";
    app->labelFont.reset();  // pixels of labels are not what these tests look at
    view.texts = {{Field::kXMin, "0"}, {Field::kXMax, "10"},        {Field::kYMin, "-5"},
                  {Field::kYMax, "5"}, {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
                  {Field::kZMin, "0"}, {Field::kZMax, "10"},        {Field::kZCount, "1000"}};
    view.window = {600 + 200, 400 + 100};  // W = 560, H = 360
  }

  // The empty plot, then the Draw, as every caller but the Draw button does.
  DrawOutcome draw(const std::string& f) {
    view.texts[Field::kFormulaF] = f;
    RenderContext context = app->renderContext();
    applyColourScheme(app->plot);
    showEmptyPlot(context, view);
    return drawPlot(context, view, app->texts, hooks);
  }

  void expectMessage(const std::string& first, const std::string& second,
                     const std::string& third) {
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0][0], first);
    EXPECT_EQ(view.messages[0][1], second);
    EXPECT_EQ(view.messages[0][2], third);
    EXPECT_EQ(view.beeps, 1);
    EXPECT_FALSE(app->plot.plotValid);
    EXPECT_TRUE(hooks.history.empty());
  }

  std::unique_ptr<Application> app = std::make_unique<Application>();
  testing::FakeView view;
  RecordingHooks hooks;
};

TEST_F(DrawCommand, SamplesOnePointPerColumnFromXMinToXMax) {
  ASSERT_EQ(draw("F(x)=SIN(X)"), DrawOutcome::kDrawn);
  const PlotState& s = app->plot;
  EXPECT_TRUE(s.plotValid);
  EXPECT_EQ(s.plotWidth, 560);
  EXPECT_EQ(s.samplesA[0], std::sin(0.0L));
  const long double step = 10.0L / 559;
  EXPECT_EQ(s.samplesA[100], std::sin(0.0L + 100 * step));
  EXPECT_NEAR(static_cast<double>(s.samplesA[559]), std::sin(10.0), 1e-15);
  EXPECT_EQ(view.colors[Field::kFormulaF], kCompiledColor);
  EXPECT_EQ(view.colors[Field::kFormulaG], kCompiledColor);
  EXPECT_EQ(view.beeps, 0);
  EXPECT_EQ(hooks.erased, 1);
  ASSERT_EQ(hooks.history.size(), 1u);
  EXPECT_EQ(hooks.history[0], "F(x)=SIN(X)|-");
  EXPECT_NE(view.labels[Label::kIntegral], "= 0");
  EXPECT_EQ(hooks.reports, 0);
}

TEST_F(DrawCommand, LabelAloneDrawsNothingAndSaysNothing) {
  EXPECT_EQ(draw("F(x)="), DrawOutcome::kNothingToDraw);
  EXPECT_EQ(view.beeps, 0);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(app->plot.plotValid);
}

// The length test counts UTF-8 characters: a field of five characters draws
// nothing and says nothing, however many bytes they take.
TEST_F(DrawCommand, FewerThanSixCharactersDrawNothing) {
  struct Case {
    const char* text;
    DrawOutcome outcome;
  };
  for (const Case& c : {Case{"F(x)\xc3\xa9", DrawOutcome::kNothingToDraw},  // F(x)é: 6 bytes
                        Case{"F(x)\xe2\x82\xac", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xf0\x9f\x98\x80", DrawOutcome::kNothingToDraw},
                        // The first and last lead byte of each length.
                        Case{"F(x)\xc2\x80", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xdf\xbf", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xe0\xa0\x80", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xef\xbf\xbd", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xf0\x90\x80\x80", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xf4\x8f\xbf\xbf", DrawOutcome::kNothingToDraw},
                        Case{"\xc3\xa9(x)=", DrawOutcome::kNothingToDraw},
                        Case{"F(x)=", DrawOutcome::kNothingToDraw},
                        Case{"F(x)\xc3", DrawOutcome::kNothingToDraw},  // a cut-off character
                        Case{"F(x)=x", DrawOutcome::kDrawn},            // six characters
                        Case{"F(x)=\xc3\xa9", DrawOutcome::kSyntaxError},
                        Case{"F(x)\xc3\xa9x", DrawOutcome::kSyntaxError},
                        Case{"F(x)\x80\x80", DrawOutcome::kSyntaxError}}) {  // two stray bytes
    view.messages.clear();
    view.beeps = 0;
    EXPECT_EQ(draw(c.text), c.outcome) << c.text;
    const bool silent = c.outcome != DrawOutcome::kSyntaxError;
    EXPECT_EQ(view.messages.empty(), silent) << c.text;
    EXPECT_EQ(view.beeps, silent ? 0 : 1) << c.text;
  }
}

TEST_F(DrawCommand, LexicalFailureOfFTurnsItRedAndFocusesIt) {
  EXPECT_EQ(draw("F(x)=2pi*x"), DrawOutcome::kSyntaxError);
  EXPECT_EQ(view.colors[Field::kFormulaF], kSyntaxColor);
  EXPECT_EQ(view.focused, Field::kFormulaF);
  expectMessage("Please check the sintax of function F(x)",
                "or verify the list of supported functions!",
                "Notice that these formulas are case insensitive.");
}

TEST_F(DrawCommand, StructureFailureOfFTurnsItBlueWithoutFocus) {
  EXPECT_EQ(draw("F(x)=)x("), DrawOutcome::kBracketError);
  EXPECT_EQ(view.colors[Field::kFormulaF], kBracketColor);
  EXPECT_FALSE(view.focused.has_value());
  expectMessage("Please check the sintax of function F(x)",
                "including the number of brackets you have used!",
                "Notice that these formulas are case insensitive.");
}

TEST_F(DrawCommand, EvaluationFailureTurnsTheFieldOlive) {
  view.texts[Field::kXMin] = "0";
  EXPECT_EQ(draw("F(x)=1/X"), DrawOutcome::kEvaluationError);
  EXPECT_EQ(view.colors[Field::kFormulaF], kEvaluationColor);
  expectMessage("F(x) calculation has generated an overflow error!",
                "Try to modify the range of the argument",
                "in order to avoid this kind of errors.");
}

TEST_F(DrawCommand, DomainErrorIsReportedAsOverflowToo) {
  view.texts[Field::kXMin] = "-1";
  EXPECT_EQ(draw("F(x)=SQRT(X)"), DrawOutcome::kEvaluationError);
  EXPECT_EQ(view.messages.at(0)[0], "F(x) calculation has generated an overflow error!");
}

TEST_F(DrawCommand, RangeFailures) {
  const std::string range1 = "The minimum value of the function's argument";
  struct Case {
    Field field;
    const char* text;
  };
  for (const Case& c : {Case{Field::kXMin, "10"}, Case{Field::kXMax, "-1"},
                        Case{Field::kYMax, "-5"}, Case{Field::kXMin, "-1e4932"}}) {
    view = testing::FakeView();
    SetUp();
    view.texts[c.field] = c.text;
    if (c.field == Field::kXMin && std::string(c.text) == "-1e4932") {
      view.texts[Field::kXMax] = "1e4932";  // the width overflows
    }
    EXPECT_EQ(draw("F(x)=x"), DrawOutcome::kRangeError) << c.text;
    expectMessage(range1, "has to be lower than the maximum value!",
                  "Fix the range of the argument and try again.");
  }
}

TEST_F(DrawCommand, EqualYRangeIsAcceptedWithAutomaticScale) {
  view.texts[Field::kYMin] = "1";
  view.texts[Field::kYMax] = "1";
  EXPECT_EQ(draw("F(x)=x"), DrawOutcome::kRangeError);
  view = testing::FakeView();
  SetUp();
  view.texts[Field::kYMin] = "1";
  view.texts[Field::kYMax] = "1";
  app->plot.optAutoScale = flagOn;
  EXPECT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
}

TEST_F(DrawCommand, TwoFunctionsNeedAnOrderedParameterRangeAndAValidG) {
  app->plot.optTwoFunctions = flagOn;
  view.texts[Field::kZMax] = "0";
  EXPECT_EQ(draw("F(x)=cos(x)"), DrawOutcome::kRangeError);

  view = testing::FakeView();
  SetUp();
  EXPECT_EQ(draw("F(x)=cos(x)"), DrawOutcome::kSyntaxError);  // G holds only its label
  EXPECT_EQ(view.colors[Field::kFormulaG], kSyntaxColor);
  EXPECT_EQ(view.focused, Field::kFormulaG);
  EXPECT_EQ(view.messages.at(0)[0], "Please check the sintax of function G(x)");

  view = testing::FakeView();
  SetUp();
  view.texts[Field::kFormulaG] = "G(x)=x)+(x";
  EXPECT_EQ(draw("F(x)=cos(x)"), DrawOutcome::kBracketError);
  EXPECT_EQ(view.colors[Field::kFormulaG], kBracketColor);
  EXPECT_EQ(view.colors[Field::kFormulaF], kCompiledColor);
  EXPECT_EQ(view.messages.at(0)[0], "Please check the sintax of function G(x),");

  // Both texts pass the lexical test before either's brackets are judged.
  view = testing::FakeView();
  SetUp();
  view.texts[Field::kFormulaG] = "G(x)=2pi*x";
  EXPECT_EQ(draw("F(x)=)x("), DrawOutcome::kSyntaxError);
  EXPECT_EQ(view.colors[Field::kFormulaG], kSyntaxColor);
  EXPECT_EQ(view.focused, Field::kFormulaG);
  EXPECT_EQ(view.colors.count(Field::kFormulaF), 0u);

  view = testing::FakeView();
  SetUp();
  view.texts[Field::kFormulaG] = "G(x)=ln(x)";
  EXPECT_EQ(draw("F(x)=cos(x)"), DrawOutcome::kEvaluationError);  // ln 0 at t = 0
  EXPECT_EQ(view.colors[Field::kFormulaG], kEvaluationColor);
  EXPECT_EQ(view.messages.at(0)[0], "G(x) calculation has generated an overflow error!");
}

TEST_F(DrawCommand, TwoFunctionSamplesAreFAndGOverTheParameter) {
  app->plot.optTwoFunctions = flagOn;
  view.texts[Field::kFormulaG] = "G(x)=x*x";
  view.texts[Field::kZCount] = "11";
  ASSERT_EQ(draw("F(x)=x+1"), DrawOutcome::kDrawn);
  const PlotState& s = app->plot;
  EXPECT_EQ(s.samplesA[0], 1.0L);
  EXPECT_EQ(s.samplesA[10], 11.0L);
  EXPECT_EQ(s.samplesB[10], 100.0L);
  ASSERT_EQ(hooks.history.size(), 1u);
  EXPECT_EQ(hooks.history[0], "F(x)=x+1|G(x)=x*x");
}

TEST_F(DrawCommand, PolarSamplesAreCoordinatesAndIgnoreAReversedParameterRange) {
  app->plot.optPolar = flagOn;
  view.texts[Field::kZMin] = "1";
  view.texts[Field::kZMax] = "0";  // traversed backwards, not an error in one-function polar
  view.texts[Field::kZCount] = "10";
  ASSERT_EQ(draw("F(x)=2"), DrawOutcome::kDrawn);
  const PlotState& s = app->plot;
  EXPECT_EQ(s.samplesA[0], 2 * std::cos(1.0L));
  EXPECT_EQ(s.samplesB[0], 2 * std::sin(1.0L));
  EXPECT_EQ(s.samplesA[9], 2 * std::cos(0.0L));
  EXPECT_EQ(view.labels[Label::kIntegral], "= 0");  // no integral outside Cartesian plots
}

TEST_F(DrawCommand, CartesianDrawLeavesTheParametricBufferAlone) {
  app->plot.samplesB[5] = 42.0L;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  EXPECT_EQ(app->plot.samplesB[5], 42.0L);
}

TEST_F(DrawCommand, ReportOnlyWithPolarPlottingOff) {
  app->plot.optReport = flagOn;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  EXPECT_EQ(hooks.reports, 1);
  app->plot.optPolar = flagOn;
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  EXPECT_EQ(hooks.reports, 1);
}

TEST_F(DrawCommand, EmptyPlotShowsItsSizeAndResetsTheReadout) {
  view.labels[Label::kIntegral] = "= 12";
  view.texts[Field::kXMax] = "abc";  // unreadable: reverts to the state's value
  app->plot.xMax = 20;
  app->plot.circleShown = true;
  RenderContext context = app->renderContext();
  showEmptyPlot(context, view);
  EXPECT_EQ(view.texts[Field::kXMax], "20");
  EXPECT_EQ(view.image.left, 8);
  EXPECT_EQ(view.image.top, 40);
  EXPECT_EQ(view.image.width, 600);
  EXPECT_EQ(view.image.height, 400);
  EXPECT_EQ(view.labels[Label::kPlotSize], "= 560, 360");
  for (const Label label :
       {Label::kReadoutX, Label::kReadoutF, Label::kReadoutDerivative, Label::kIntegral}) {
    EXPECT_EQ(view.labels[label], "= 0");
  }
  EXPECT_EQ(app->plot.plotWidth, 560);
  EXPECT_EQ(app->plot.plotHeight, 360);
  EXPECT_EQ(app->plot.yAxisColumn, 20);
  EXPECT_EQ(app->plot.xAxisRow, 360 + 19 - 180);  // Round(359 / 2) rows above the bottom
  EXPECT_FALSE(app->plot.circleShown);
}

TEST_F(DrawCommand, ASecondDrawAddsItsCurveToThePicture) {
  RenderContext context = app->renderContext();
  applyColourScheme(app->plot);
  showEmptyPlot(context, view);
  view.texts[Field::kFormulaF] = "F(x)=4";
  ASSERT_EQ(drawPlot(context, view, app->texts, hooks), DrawOutcome::kDrawn);
  view.texts[Field::kFormulaF] = "F(x)=-4";
  ASSERT_EQ(drawPlot(context, view, app->texts, hooks), DrawOutcome::kDrawn);
  // y = 4 and y = -4 on a -5..5 range of H = 360 rows.
  const auto rowOf = [](long double y) {
    return static_cast<int>(380 - std::llrint((y + 5) * 359 / 10) - 1);
  };
  EXPECT_EQ(app->image.pixel(300, rowOf(4)), app->plot.curveColor);
  EXPECT_EQ(app->image.pixel(300, rowOf(-4)), app->plot.curveColorDark);
}

// The Draw shows the ranges automatic scale fitted in the fields: y of a
// Cartesian curve, x and y of a point curve (tests/render/curves_test.cpp
// checks the fitting itself).
TEST_F(DrawCommand, AutomaticScaleWritesTheFittedRangesIntoTheFields) {
  app->plot.optAutoScale = flagOn;
  for (const auto& [f, min, max] :
       {std::tuple{"F(x)=5", "4.5", "5.5"}, {"F(x)=0", "-1", "1"}, {"F(x)=-5", "-5.5", "-4.5"}}) {
    ASSERT_EQ(draw(f), DrawOutcome::kDrawn) << f;
    EXPECT_EQ(view.texts[Field::kYMin], min) << f;
    EXPECT_EQ(view.texts[Field::kYMax], max) << f;
    EXPECT_EQ(view.texts[Field::kXMin], "0") << f;  // x stays the user's
    EXPECT_EQ(view.texts[Field::kXMax], "10") << f;
  }
  app->plot.optTwoFunctions = flagOn;
  view.texts[Field::kFormulaG] = "G(x)=-3";
  ASSERT_EQ(draw("F(x)=2"), DrawOutcome::kDrawn);
  EXPECT_EQ(view.texts[Field::kXMin], "1.8");
  EXPECT_EQ(view.texts[Field::kXMax], "2.2");
  EXPECT_EQ(view.texts[Field::kYMin], "-3.3");
  EXPECT_EQ(view.texts[Field::kYMax], "-2.7");
}

TEST_F(DrawCommand, AutomaticScaleAlignsZeroOnAColumn) {
  app->plot.optAutoScale = flagOn;
  view.texts[Field::kXMin] = "-1";
  view.texts[Field::kXMax] = "2";
  ASSERT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  // A sample lands exactly on x = 0.
  bool hit = false;
  for (int i = 0; i < app->plot.plotWidth; ++i) hit = hit || app->plot.samplesA[i] == 0;
  EXPECT_TRUE(hit);
}

}  // namespace
}  // namespace kurvana
