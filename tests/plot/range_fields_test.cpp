#include "plot/range_fields.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

namespace kurvana {
namespace {

class RangeFieldsTest : public ::testing::Test {
 protected:
  // The fields as the window shows the default state.
  void SetUp() override {
    state = std::make_unique<PlotState>();
    textOf(texts, Field::kXMin) = "0";
    textOf(texts, Field::kXMax) = "10";
    textOf(texts, Field::kYMin) = "-5";
    textOf(texts, Field::kYMax) = "5";
    textOf(texts, Field::kFormulaF) = "F(x)=sin(x)";
    textOf(texts, Field::kFormulaG) = "G(x)=";
    textOf(texts, Field::kZMin) = "0";
    textOf(texts, Field::kZMax) = "10";
    textOf(texts, Field::kZCount) = "1000";
  }

  RangeReading read(std::string_view separator) {
    return readRangeFields(texts, rangesOf(*state), separator);
  }

  std::unique_ptr<PlotState> state;
  FieldTexts texts;
};

TEST_F(RangeFieldsTest, ReadsEveryField) {
  textOf(texts, Field::kXMin) = " -1.5 ";
  textOf(texts, Field::kXMax) = "2e1";
  textOf(texts, Field::kYMin) = "-0.25";
  textOf(texts, Field::kYMax) = "+4";
  textOf(texts, Field::kZMin) = "-3";
  textOf(texts, Field::kZMax) = "6.5";
  textOf(texts, Field::kZCount) = " 500 ";
  textOf(texts, Field::kFormulaF) = "F(x)=sin(x)*pi+Öé";
  textOf(texts, Field::kFormulaG) = "G(x)=cos(x)";
  const RangeReading r = read(".");

  EXPECT_EQ(r.ranges.xMin, -1.5L);
  EXPECT_EQ(r.ranges.xMax, 20.0L);
  EXPECT_EQ(r.ranges.yMin, -0.25L);
  EXPECT_EQ(r.ranges.yMax, 4.0L);
  EXPECT_EQ(r.ranges.zMin, -3.0L);
  EXPECT_EQ(r.ranges.zMax, 6.5L);
  EXPECT_EQ(r.ranges.zCount, 500);
  // Only a..z are upper-cased; other bytes pass through for the compiler to reject.
  EXPECT_EQ(r.sourceF, "F(X)=SIN(X)*PI+Öé");
  EXPECT_EQ(r.sourceG, "G(X)=COS(X)");
  // Readable entries keep the user's spelling.
  EXPECT_TRUE(r.rewrites.empty());

  setRanges(*state, r.ranges);
  EXPECT_EQ(state->xMin, -1.5L);
  EXPECT_EQ(state->yMax, 4.0L);
  EXPECT_EQ(state->zMax, 6.5L);
  EXPECT_EQ(state->zCount, 500);
}

TEST_F(RangeFieldsTest, UnreadableEntryRevertsToPreviousValue) {
  state->xMax = 7.25L;
  textOf(texts, Field::kXMax) = "abc";
  const RangeReading r = read(".");
  EXPECT_EQ(r.ranges.xMax, 7.25L);
  EXPECT_EQ(r.rewrites, (FieldEdits{{Field::kXMax, "7.25"}}));
}

TEST_F(RangeFieldsTest, EachRealFieldRevertsIndependently) {
  struct Case {
    Field field;
    long double PlotState::*member;
    long double Ranges::*range;
  };
  const Case cases[] = {
      {Field::kXMin, &PlotState::xMin, &Ranges::xMin},
      {Field::kXMax, &PlotState::xMax, &Ranges::xMax},
      {Field::kYMin, &PlotState::yMin, &Ranges::yMin},
      {Field::kYMax, &PlotState::yMax, &Ranges::yMax},
      {Field::kZMin, &PlotState::zMin, &Ranges::zMin},
      {Field::kZMax, &PlotState::zMax, &Ranges::zMax},
  };
  for (const Case& bad : cases) {
    SetUp();
    for (const Case& c : cases) {
      state.get()->*c.member = 100;
      textOf(texts, c.field) = "1,5e1";  // every field but the bad one reads as 15
    }
    textOf(texts, bad.field) = "1.2.3";
    const RangeReading r = read(",");
    const int input = static_cast<int>(bad.field);
    for (const Case& c : cases) {
      EXPECT_EQ(r.ranges.*c.range, c.field == bad.field ? 100.0L : 15.0L) << input;
    }
    EXPECT_EQ(r.rewrites, (FieldEdits{{bad.field, "100"}})) << input;
  }
}

TEST_F(RangeFieldsTest, ZCountOutsideTenToTwoThousandBecomesThousand) {
  struct Case {
    const char* text;
    std::int32_t previous;
    std::int32_t expected;
    FieldEdits rewrites;
  };
  const Case cases[] = {
      {"5", 1000, 1000, {{Field::kZCount, "1000"}}},
      {"5000", 1000, 1000, {{Field::kZCount, "1000"}}},
      {"10", 1000, 10, {}},
      {"2000", 1000, 2000, {}},
      {"9", 300, 1000, {{Field::kZCount, "1000"}}},
      {"2001", 300, 1000, {{Field::kZCount, "1000"}}},
      {"-10", 300, 1000, {{Field::kZCount, "1000"}}},
      {"abc", 300, 300, {{Field::kZCount, "300"}}},
      {"1.5", 300, 300, {{Field::kZCount, "300"}}},
      {"99999999999", 300, 300, {{Field::kZCount, "300"}}},
      // A bad stored count is repaired too: reverted first, then replaced.
      {"abc", 7, 1000, {{Field::kZCount, "7"}, {Field::kZCount, "1000"}}},
  };
  for (const Case& c : cases) {
    SetUp();
    state->zCount = c.previous;
    textOf(texts, Field::kZCount) = c.text;
    const RangeReading r = read(".");
    EXPECT_EQ(r.ranges.zCount, c.expected) << c.text;
    EXPECT_EQ(r.rewrites, c.rewrites) << c.text;
  }
}

TEST_F(RangeFieldsTest, CommaLocaleReadsCommaAndRevertsPoint) {
  textOf(texts, Field::kXMin) = "0,5";
  textOf(texts, Field::kXMax) = "0.5";
  RangeReading r = read(",");
  EXPECT_EQ(r.ranges.xMin, 0.5L);
  EXPECT_EQ(r.ranges.xMax, 10.0L);
  EXPECT_EQ(r.rewrites, (FieldEdits{{Field::kXMax, "10"}}));

  state->xMax = 12.5L;
  textOf(texts, Field::kXMax) = "x";
  r = read(",");
  EXPECT_EQ(r.rewrites, (FieldEdits{{Field::kXMax, "12,5"}}));
}

TEST_F(RangeFieldsTest, WriteRangesUseGeneralFormat) {
  state->xMin = -0.000012345678L;
  state->xMax = 2.5L;
  state->yMin = -1234567.0L;
  state->yMax = 0.0L;
  EXPECT_EQ(writeXRange(*state, ","),
            (FieldEdits{{Field::kXMin, "-1,23457E-05"}, {Field::kXMax, "2,5"}}));
  EXPECT_EQ(writeYRange(*state, ","),
            (FieldEdits{{Field::kYMin, "-1,23457E06"}, {Field::kYMax, "0"}}));
}

TEST_F(RangeFieldsTest, AlignZeroColumnSlidesNearestSampleOntoZero) {
  state->xMin = -1;
  state->xMax = 2;
  state->plotWidth = 600;
  const auto a = alignZeroColumn(*state, ".");
  ASSERT_TRUE(a);

  const long double step = 3.0L / 599.0L;
  EXPECT_EQ(a->xMin, -200 * step);
  EXPECT_EQ(a->xMax, 399 * step);
  EXPECT_EQ(a->texts, (FieldEdits{{Field::kXMin, "-1.00167"}, {Field::kXMax, "1.99833"}}));
  // Column 200 now samples x = 0 exactly, as the Cartesian sampler computes it.
  EXPECT_EQ(a->xMin + 200 * ((a->xMax - a->xMin) / 599), 0.0L);
  // The state itself is the caller's to change.
  EXPECT_EQ(state->xMin, -1.0L);

  const auto comma = alignZeroColumn(*state, ",");
  ASSERT_TRUE(comma);
  EXPECT_EQ(comma->texts, (FieldEdits{{Field::kXMin, "-1,00167"}, {Field::kXMax, "1,99833"}}));
}

TEST_F(RangeFieldsTest, AlignZeroColumnFirstOfEqualCandidatesWins) {
  // Columns at -1.5, -0.5, 0.5, 1.5: the two middle ones tie, the left one wins.
  state->xMin = -1.5L;
  state->xMax = 1.5L;
  state->plotWidth = 4;
  const auto a = alignZeroColumn(*state, ".");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->xMin, -1.0L);
  EXPECT_EQ(a->xMax, 2.0L);
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
    state->xMin = c.xMin;
    state->xMax = c.xMax;
    state->plotWidth = c.width;
    EXPECT_FALSE(alignZeroColumn(*state, ".")) << c.why;
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
    state->optAutoScale = c.autoScale;
    state->optTwoFunctions = c.twoFunctions;
    state->optPolar = c.polar;
    const std::string input = "auto " + std::to_string(c.autoScale) + " two " +
                              std::to_string(c.twoFunctions) + " polar " + std::to_string(c.polar);
    // The z fields are not among them: automatic scale never takes them over.
    const std::array<FieldEnabling, 4> expected = {{{Field::kXMin, c.xEnabled},
                                                    {Field::kXMax, c.xEnabled},
                                                    {Field::kYMin, c.yEnabled},
                                                    {Field::kYMax, c.yEnabled}}};
    EXPECT_EQ(doauto(*state), expected) << input;
  }
}

// The ranges are one part of the state: setting them leaves the frame, the
// options and the samples as they were.
TEST(PlotRanges, SettingTheRangesTouchesNothingElse) {
  PlotState s;
  s.plotWidth = 784;
  s.xAxisRow = 333;
  s.optPolar = flagOn;
  s.samplesA[7] = 2.5L;
  s.integralValue = -1;
  const Ranges r{-1.5L, 2.5L, -0.25L, 0.75L, 0.1L, 6.2L, 500};
  setRanges(s, r);
  const Ranges back = rangesOf(s);
  EXPECT_EQ(back.xMin, -1.5L);
  EXPECT_EQ(back.xMax, 2.5L);
  EXPECT_EQ(back.yMin, -0.25L);
  EXPECT_EQ(back.yMax, 0.75L);
  EXPECT_EQ(back.zMin, 0.1L);
  EXPECT_EQ(back.zMax, 6.2L);
  EXPECT_EQ(back.zCount, 500);
  EXPECT_EQ(s.plotWidth, 784);
  EXPECT_EQ(s.xAxisRow, 333);
  EXPECT_EQ(s.optPolar, flagOn);
  EXPECT_EQ(s.samplesA[7], 2.5L);
  EXPECT_EQ(s.integralValue, -1);
}

}  // namespace
}  // namespace kurvana
