#include "plot/range_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "plot/fake_view.h"

namespace kurvana {
namespace {

using testing::FakeView;

class RangeFieldsTest : public ::testing::Test {
 protected:
  // The fields as the window shows the default state.
  void SetUp() override {
    view = FakeView();
    view.texts = {
        {Field::kXMin, "0"},
        {Field::kXMax, "10"},
        {Field::kYMin, "-5"},
        {Field::kYMax, "5"},
        {Field::kFormulaF, "F(x)=sin(x)"},
        {Field::kFormulaG, "G(x)="},
        {Field::kZMin, "0"},
        {Field::kZMax, "10"},
        {Field::kZCount, "1000"},
    };
  }

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  FakeView view;
};

TEST_F(RangeFieldsTest, ReadsEveryField) {
  view.texts[Field::kXMin] = " -1.5 ";
  view.texts[Field::kXMax] = "2e1";
  view.texts[Field::kYMin] = "-0.25";
  view.texts[Field::kYMax] = "+4";
  view.texts[Field::kZMin] = "-3";
  view.texts[Field::kZMax] = "6.5";
  view.texts[Field::kZCount] = " 500 ";
  view.texts[Field::kFormulaF] = "F(x)=sin(x)*pi+Öé";
  view.texts[Field::kFormulaG] = "G(x)=cos(x)";
  readRangeFields(*state, view, ".");

  EXPECT_EQ(state->xMin, -1.5L);
  EXPECT_EQ(state->xMax, 20.0L);
  EXPECT_EQ(state->yMin, -0.25L);
  EXPECT_EQ(state->yMax, 4.0L);
  EXPECT_EQ(state->zMin, -3.0L);
  EXPECT_EQ(state->zMax, 6.5L);
  EXPECT_EQ(state->zCount, 500);
  // Only a..z are upper-cased; other bytes pass through for the compiler to reject.
  EXPECT_EQ(state->formulaF.source, "F(X)=SIN(X)*PI+Öé");
  EXPECT_EQ(state->formulaG.source, "G(X)=COS(X)");
  // Readable entries keep the user's spelling.
  EXPECT_TRUE(view.writes.empty());
}

TEST_F(RangeFieldsTest, UnreadableEntryRevertsToPreviousValue) {
  state->xMax = 7.25L;
  view.texts[Field::kXMax] = "abc";
  readRangeFields(*state, view, ".");
  EXPECT_EQ(state->xMax, 7.25L);
  EXPECT_EQ(view.texts[Field::kXMax], "7.25");
}

TEST_F(RangeFieldsTest, EachRealFieldRevertsIndependently) {
  struct Case {
    Field field;
    long double PlotState::*member;
  };
  const Case cases[] = {
      {Field::kXMin, &PlotState::xMin}, {Field::kXMax, &PlotState::xMax},
      {Field::kYMin, &PlotState::yMin}, {Field::kYMax, &PlotState::yMax},
      {Field::kZMin, &PlotState::zMin}, {Field::kZMax, &PlotState::zMax},
  };
  for (const Case& bad : cases) {
    SetUp();
    for (const Case& c : cases) {
      state.get()->*c.member = 100;
      view.texts[c.field] = "1,5e1";  // every field but the bad one reads as 15
    }
    view.texts[bad.field] = "1.2.3";
    readRangeFields(*state, view, ",");
    const int input = static_cast<int>(bad.field);
    for (const Case& c : cases) {
      EXPECT_EQ(state.get()->*c.member, c.field == bad.field ? 100.0L : 15.0L) << input;
      EXPECT_EQ(view.texts[c.field], c.field == bad.field ? "100" : "1,5e1") << input;
    }
    EXPECT_EQ(view.writes.size(), 1u) << input;
  }
}

TEST_F(RangeFieldsTest, ZCountOutsideTenToTwoThousandBecomesThousand) {
  struct Case {
    const char* text;
    std::int32_t previous;
    std::int32_t expected;
    const char* fieldAfter;
  };
  const Case cases[] =
      {
          {"5", 1000, 1000, "1000"},  {"5000", 1000, 1000, "1000"},
          {"10", 1000, 10, "10"},     {"2000", 1000, 2000, "2000"},
          {"9", 300, 1000, "1000"},   {"2001", 300, 1000, "1000"},
          {"-10", 300, 1000, "1000"}, {"abc", 300, 300, "300"},
          {"1.5", 300, 300, "300"},   {"99999999999", 300, 300, "300"},
          {"abc", 7, 1000, "1000"},  // a bad stored count is repaired too
      };
  for (const Case& c : cases) {
    SetUp();
    state->zCount = c.previous;
    view.texts[Field::kZCount] = c.text;
    readRangeFields(*state, view, ".");
    EXPECT_EQ(state->zCount, c.expected) << c.text;
    EXPECT_EQ(view.texts[Field::kZCount], c.fieldAfter) << c.text;
  }
}

TEST_F(RangeFieldsTest, CommaLocaleReadsCommaAndRevertsPoint) {
  view.texts[Field::kXMin] = "0,5";
  view.texts[Field::kXMax] = "0.5";
  readRangeFields(*state, view, ",");
  EXPECT_EQ(state->xMin, 0.5L);
  EXPECT_EQ(state->xMax, 10.0L);
  EXPECT_EQ(view.texts[Field::kXMax], "10");

  state->xMax = 12.5L;
  view.texts[Field::kXMax] = "x";
  readRangeFields(*state, view, ",");
  EXPECT_EQ(view.texts[Field::kXMax], "12,5");
}

TEST_F(RangeFieldsTest, WriteRangesUseGeneralFormat) {
  state->xMin = -0.000012345678L;
  state->xMax = 2.5L;
  state->yMin = -1234567.0L;
  state->yMax = 0.0L;
  writeXRange(*state, view, ",");
  writeYRange(*state, view, ",");
  EXPECT_EQ(view.texts[Field::kXMin], "-1,23457E-05");
  EXPECT_EQ(view.texts[Field::kXMax], "2,5");
  EXPECT_EQ(view.texts[Field::kYMin], "-1,23457E06");
  EXPECT_EQ(view.texts[Field::kYMax], "0");
}

TEST_F(RangeFieldsTest, AlignZeroColumnSlidesNearestSampleOntoZero) {
  state->xMin = -1;
  state->xMax = 2;
  state->plotWidth = 600;
  alignZeroColumn(*state, view, ".");

  const long double step = 3.0L / 599.0L;
  EXPECT_EQ(state->xMin, -200 * step);
  EXPECT_EQ(state->xMax, 399 * step);
  EXPECT_EQ(view.texts[Field::kXMin], "-1.00167");
  EXPECT_EQ(view.texts[Field::kXMax], "1.99833");
  // Column 200 now samples x = 0 exactly, as the Cartesian sampler computes it.
  EXPECT_EQ(state->xMin + 200 * ((state->xMax - state->xMin) / 599), 0.0L);

  state->xMin = -1;
  state->xMax = 2;
  alignZeroColumn(*state, view, ",");
  EXPECT_EQ(view.texts[Field::kXMin], "-1,00167");
  EXPECT_EQ(view.texts[Field::kXMax], "1,99833");
}

TEST_F(RangeFieldsTest, AlignZeroColumnFirstOfEqualCandidatesWins) {
  // Columns at -1.5, -0.5, 0.5, 1.5: the two middle ones tie, the left one wins.
  state->xMin = -1.5L;
  state->xMax = 1.5L;
  state->plotWidth = 4;
  alignZeroColumn(*state, view, ".");
  EXPECT_EQ(state->xMin, -1.0L);
  EXPECT_EQ(state->xMax, 2.0L);
}

TEST_F(RangeFieldsTest, AlignZeroColumnLeavesRangeAlone) {
  struct Case {
    long double xMin;
    long double xMax;
    std::int32_t width;
    const char* why;
  };
  const Case cases[] = {
      {-5, 5, 11, "a column already hits 0"},
      {-1, 1, 3, "the middle column hits 0"},
      {0, 10, 600, "0 on the left edge"},
      {-10, 0, 600, "0 on the right edge"},
      {1, 10, 600, "0 left of the range"},
      {-10, -1, 600, "0 right of the range"},
      {2, -2, 600, "reversed range"},
      {-1, 2, 1, "a single column has no step"},
      {-1, 2, 0, "no plot area yet"},
      {-1E4932L, 1E4932L, 600, "the width overflows"},
      {-1E200L, 1E200L, 600, "every column lies beyond the search bound"},
  };
  for (const Case& c : cases) {
    FakeView fresh;
    state->xMin = c.xMin;
    state->xMax = c.xMax;
    state->plotWidth = c.width;
    alignZeroColumn(*state, fresh, ".");
    EXPECT_EQ(state->xMin, c.xMin) << c.why;
    EXPECT_EQ(state->xMax, c.xMax) << c.why;
    EXPECT_TRUE(fresh.writes.empty()) << c.why;
  }
}

TEST_F(RangeFieldsTest, DoautoEnablesRangeFieldsByMode) {
  struct Case {
    std::uint8_t autoScale;
    std::uint8_t twoFunctions;
    std::uint8_t polar;
    bool xEnabled;
    bool yEnabled;
  };
  const Case cases[] = {
      {flagOff, flagOff, flagOff, true, true},
      {flagOff, flagOn, flagOff, true, true},
      {flagOn, flagOff, flagOff, true, false},
      {flagOn, flagOff, flagOn, true, false},  // polar with one function: x stays editable
      {flagOn, flagOn, flagOff, false, false},
      {flagOn, flagOn, flagOn, false, false},
  };
  for (const Case& c : cases) {
    FakeView fresh;
    fresh.enabled = {
        {Field::kXMin, false}, {Field::kXMax, false}, {Field::kYMin, false}, {Field::kYMax, false}};
    state->optAutoScale = c.autoScale;
    state->optTwoFunctions = c.twoFunctions;
    state->optPolar = c.polar;
    doauto(*state, fresh);
    const std::string input = "auto " + std::to_string(c.autoScale) + " two " +
                              std::to_string(c.twoFunctions) + " polar " + std::to_string(c.polar);
    EXPECT_EQ(fresh.isEnabled(Field::kXMin), c.xEnabled) << input;
    EXPECT_EQ(fresh.isEnabled(Field::kXMax), c.xEnabled) << input;
    EXPECT_EQ(fresh.isEnabled(Field::kYMin), c.yEnabled) << input;
    EXPECT_EQ(fresh.isEnabled(Field::kYMax), c.yEnabled) << input;
    for (const Field z : {Field::kZMin, Field::kZMax, Field::kZCount}) {
      EXPECT_TRUE(fresh.isEnabled(z)) << input;
    }
  }
}

}  // namespace
}  // namespace kurvana
