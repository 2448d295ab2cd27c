// The analysis report: the scans for roots and extrema, and the report's
// lines in both modes for plots drawn as values (tests/files/
// report_file_test.cpp writes them).
#include "explore/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "explore/drawn_plot.h"
#include "explore/integral.h"
#include "plot/fields.h"
#include "plot/interface_texts.h"
#include "plot/number_format.h"
#include "plot/range_fields.h"

namespace kurvana {
namespace {

// Samples at positions 0, 1, 2, ... so a position reads as its real index.
SampleRun indexRun(const std::vector<long double>& v) {
  return SampleRun{v, 0, static_cast<long double>(v.size() - 1)};
}

TEST(ReportScans, RootsAreExactZerosOrStrictSignChanges) {
  const struct {
    std::vector<long double> v;
    std::vector<long double> roots;
  } cases[] = {
      {{-1, 1}, {0.5L}},
      {{1, 2, -3, -4, 5}, {1.5L, 3.5L}},
      {{0, 1, 2}, {}},          // sample 0 is only ever a neighbour
      {{-1, 0, 1}, {1}},        // once, at the zero, not again for the sign change
      {{1, 0, 0, -1}, {1, 2}},  // each zero counts
      {{2, 2, 2}, {}},
      {{0, 0, 0, 0}, {1, 2, 3}},  // a zero constant lists every column from 1 on
      {{5}, {}},
      {{}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(findRoots(indexRun(c.v)), c.roots) << c.v.size();
}

TEST(ReportScans, ExtremaSitBetweenTheStepsAroundTheTurn) {
  // Samples 3, 1, 2 at 4, 5, 6 with no other turn: one minimum at 5.5.
  const std::vector<long double> single = {9, 8, 7, 6, 3, 1, 2, 4, 6};
  EXPECT_EQ(findMinima(indexRun(single)), std::vector<long double>{5.5L});
  EXPECT_TRUE(findMaxima(indexRun(single)).empty());
  // A flat bottom v[m-1] > v[m] = v[m+1] < v[m+2] is written at m + 1.
  const std::vector<long double> flat = {5, 4, 1, 1, 3, 2, 2, 2, 1, 0};
  EXPECT_EQ(findMinima(indexRun(flat)), std::vector<long double>{3});
  EXPECT_EQ(findMaxima(indexRun(flat)), std::vector<long double>{4.5L});
  // Never at either end; a plateau between rises is no turn.
  const std::vector<long double> ends = {0, 1, 2, 2, 3, 4, 3, 2};
  EXPECT_TRUE(findMinima(indexRun(ends)).empty());
  EXPECT_EQ(findMaxima(indexRun(ends)), std::vector<long double>{5.5L});
  const std::vector<long double> constant(50, 7.0L);
  EXPECT_TRUE(findMinima(indexRun(constant)).empty());
  EXPECT_TRUE(findMaxima(indexRun(constant)).empty());
}

TEST(ReportScans, PositionsMapTheRealIndexOntoTheRange) {
  const std::vector<long double> v = {1, -1, 1};
  const SampleRun run{v, -2, 2};
  EXPECT_EQ(findRoots(run), (std::vector<long double>{-1, 1}));
  EXPECT_EQ(findMinima(run), std::vector<long double>{1});  // half a spacing right of x = 0
}

class Report : public testing::DrawnPlot {
 protected:
  void SetUp() override {
    DrawnPlot::SetUp();
    fields = {"0", "10", "-5", "5", "F(x)=", "G(x)=", "0", "10", "1000"};  // in Field order
  }

  // What a Draw of F leaves for the report: the ranges as the fields give
  // them, one sample of f per column and the integral.
  template <typename F>
  void draw(const std::string& formula, F f) {
    textOf(fields, Field::kFormulaF) = formula;
    readRanges();
    drawCartesian(f);
    s.integralValue = computeIntegral(s, separator).value;
  }
  // The same for the points (F(t), G(t)).
  template <typename F, typename G>
  void draw(const std::string& formulaF, const std::string& formulaG, F f, G g) {
    textOf(fields, Field::kFormulaF) = formulaF;
    textOf(fields, Field::kFormulaG) = formulaG;
    readRanges();
    drawPoints(f, g);
  }
  void readRanges() { setRanges(s, readRangeFields(fields, rangesOf(s), separator).ranges); }

  std::vector<std::string> lines(std::string_view sep) {
    return reportLines(s, fields, texts, sep);
  }
  std::vector<std::string> lines() { return lines(separator); }

  // The list under the heading `heading`, up to the next separator line.
  std::vector<std::string> section(const std::string& heading) {
    const auto all = lines();
    std::vector<std::string> out;
    bool in = false;
    for (const auto& line : all) {
      if (in && line == " ") break;
      if (in) out.push_back(line);
      if (line == heading) in = true;
    }
    return out;
  }

  FieldTexts fields;
  InterfaceTexts texts;
  std::string separator = ".";
};

TEST_F(Report, SineOnZeroToTenReadsLineForLine) {
  draw("F(x)=sin(x)", [](long double x) { return std::sin(x); });
  ASSERT_EQ(s.plotWidth, 600);
  EXPECT_EQ(lines("."), (std::vector<std::string>{
                            "Function formula:",
                            "F(x)=sin(x)",
                            "x min  = 0",
                            "x max  = 10",
                            "points = 600",
                            " ",
                            "Function roots:",
                            "#1 = 3.14691",
                            "#2 = 6.28548",
                            "#3 = 9.42404",
                            " ",
                            "Local minimum points:",
                            "#1 = 4.71619",
                            " ",
                            "Local maximum points:",
                            "#1 = 1.57763",
                            "#2 = 7.85476",
                            " ",
                            "Integral value on x min..x max :",
                            "F(x)dx = 1.83143",
                        }));
}

TEST_F(Report, ParabolaHasItsMinimumOnlyInsideTheRange) {
  textOf(fields, Field::kXMin) = "-2";
  textOf(fields, Field::kXMax) = "2";
  draw("F(x)=x^2+1", [](long double x) { return x * x + 1; });
  EXPECT_EQ(section("Function roots:"), std::vector<std::string>{"-----"});
  EXPECT_EQ(section("Local maximum points:"), std::vector<std::string>{"-----"});
  const auto minima = section("Local minimum points:");
  ASSERT_EQ(minima.size(), 1u);
  ASSERT_EQ(minima[0].substr(0, 5), "#1 = ");
  const long double at = *parseLocaleNumber(minima[0].substr(5), ".");
  EXPECT_LE(std::fabs(at), 4.0L / 599);

  textOf(fields, Field::kXMin) = "0";
  textOf(fields, Field::kXMax) = "10";
  draw("F(x)=x^2+1", [](long double x) { return x * x + 1; });
  EXPECT_EQ(section("Local minimum points:"), std::vector<std::string>{"-----"});
}

TEST_F(Report, AnExactZeroSampleIsOneRootAtItsColumn) {
  textOf(fields, Field::kXMin) = "-1";
  textOf(fields, Field::kXMax) = "598";  // x = -1, 0, 1, ... one per column
  textOf(fields, Field::kYMax) = "1000";
  draw("F(x)=x", [](long double x) { return x; });
  EXPECT_EQ(section("Function roots:"), std::vector<std::string>{"#1 = 0"});
}

TEST_F(Report, ConstantsHaveNoExtremaAndAnExactIntegral) {
  draw("F(x)=2", [](long double) { return 2.0L; });
  EXPECT_EQ(section("Function roots:"), std::vector<std::string>{"-----"});
  EXPECT_EQ(section("Local minimum points:"), std::vector<std::string>{"-----"});
  EXPECT_EQ(lines().back(), "F(x)dx = 20");
  draw("F(x)=0", [](long double) { return 0.0L; });
  const auto roots = section("Function roots:");
  ASSERT_EQ(roots.size(), 599u);
  EXPECT_EQ(roots.back(), "#599 = 10");
}

TEST_F(Report, FieldsAreCopiedAsTypedAndNumbersUseTheSeparator) {
  separator = ",";
  textOf(fields, Field::kXMin) = "-5,0";
  textOf(fields, Field::kXMax) = " 5";
  draw("F(x)=X+0.5", [](long double x) { return x + 0.5L; });
  const auto all = lines();
  EXPECT_EQ(all[1], "F(x)=X+0.5");
  EXPECT_EQ(all[2], "x min  = -5,0");
  EXPECT_EQ(all[3], "x max  =  5");
  EXPECT_EQ(section("Function roots:"), std::vector<std::string>{"#1 = -0,500835"});
}

TEST_F(Report, TranslatedHeadingsComeFromTheInterfaceTexts) {
  texts.languageTexts[static_cast<std::size_t>(TextId::kTxtRoots)] = "Nullstellen";
  texts.languageTexts[static_cast<std::size_t>(TextId::kTxtPoints)] = "Punkte";
  draw("F(x)=x-5", [](long double x) { return x - 5; });
  EXPECT_EQ(lines()[4], "Punkte = 600");
  EXPECT_EQ(section("Nullstellen:").size(), 1u);
}

TEST_F(Report, TwoFunctionsListTheRootsOfBothOverTheParameter) {
  s.optTwoFunctions = flagOn;
  textOf(fields, Field::kZMin) = "-1";
  textOf(fields, Field::kZMax) = "8";
  textOf(fields, Field::kZCount) = "10";  // t = -1, 0, ... 8
  draw(
      "F(x)=x-2.5", "G(x)=x^2-9", [](long double t) { return t - 2.5L; },
      [](long double t) { return t * t - 9; });
  EXPECT_EQ(lines(), (std::vector<std::string>{"Function formula:", "F(x)=x-2.5", "G(x)=x^2-9",
                                               "x min  = -1", "x max  = 8", "points = 10", " ",
                                               "F(x) Function roots:", "#1 = 2.5", " ",
                                               "G(x) Function roots:", "#1 = 3"}));
}

}  // namespace
}  // namespace kurvana
