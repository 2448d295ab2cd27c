// kurvana-cli eval, run as a separate process the way scripts use it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/run_cli.h"

namespace {

using kurvana::testing::cli;
using kurvana::testing::CliRun;
using kurvana::testing::quoted;

std::string exact(long double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.21Lg", v);
  return std::string(buffer) + "\n";
}

TEST(CliEval, PrintsOneExactLinePerArgument) {
  const CliRun r = cli({"eval", "F(x)=sin(x)^2", "0.5", "-1e-3", "3"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.err.empty());
  std::string expected;
  for (volatile long double x : {0.5L, -1e-3L, 3.0L}) {
    const long double s = std::sin(x);
    expected += exact(s * s);
  }
  EXPECT_EQ(r.out, expected);
}

TEST(CliEval, ExactValuesUseTwentyOneDigits) {
  EXPECT_EQ(cli({"eval", "F(x)=x/3", "1"}).out, "0.333333333333333333342\n");
  EXPECT_EQ(cli({"eval", "F(x)=pi", "0"}).out, "3.14159265358979323851\n");
  EXPECT_EQ(cli({"eval", "F(x)=2^3^2", "0"}).out, "64\n");
  EXPECT_EQ(cli({"eval", "f(x) = 1e-3 * x", "5"}).out, exact(1e-3L * 5.0L));
}

TEST(CliEval, GeneralFormatFollowsTheUserLocale) {
  EXPECT_EQ(cli({"eval", "--general", "F(x)=x/3", "1", "3e6", "-6e-6", "0"}).out,
            "0.333333\n1E06\n-2E-06\n0\n");
  const char* locpath = std::getenv("LOCPATH");
  const std::string german = "LOCPATH=" + quoted(locpath ? locpath : "") + " LC_ALL=de_DE.UTF-8";
  const CliRun comma = cli({"eval", "--general", "F(x)=x/2", "1"}, german);
  if (comma.out == "0.5\n") GTEST_SKIP() << "no decimal-comma locale available";
  EXPECT_EQ(comma.out, "0,5\n");
  // Formulas, arguments and exact output keep the point whatever the locale.
  EXPECT_EQ(cli({"eval", "F(x)=0.5*x", "1.5"}, german).out, "0.75\n");
}

TEST(CliEval, EvaluationFailuresArePerArgument) {
  const CliRun r = cli({"eval", "F(x)=1/x", "2", "0", "-4"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "0.5\nerror: evaluation\n-0.25\n");
}

TEST(CliEval, CompileFailuresPrintOneLine) {
  struct Case {
    const char* formula;
    const char* line;
  };
  for (const Case& c : {Case{"F(x)=", "error: syntax\n"}, Case{"F(x)=sin(x", "error: syntax\n"},
                        Case{"F(x)=2pi", "error: syntax\n"}, Case{"sin(x)", "error: syntax\n"},
                        Case{"F(x)=)x(", "error: brackets\n"},
                        Case{"F(x)=((((((((((x))))))))))", "error: brackets\n"}}) {
    const CliRun r = cli({"eval", c.formula, "1", "2"});
    EXPECT_EQ(r.status, 1) << c.formula;
    EXPECT_EQ(r.out, c.line) << c.formula;
  }
}

TEST(CliEval, NoArgumentsIsNoError) {
  const CliRun r = cli({"eval", "F(x)=x"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
}

// Each usage error names its problem on the first line, then the usage text.
TEST(CliEval, UsageErrorsSayWhatIsWrongFirst) {
  struct Case {
    std::vector<std::string> args;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {{}, "missing command"},
      {{"frobnicate"}, "unknown command"},
      {{"eval"}, "missing FORMULA"},
      {{"eval", "--general"}, "missing FORMULA"},
      {{"eval", "--bogus", "F(x)=x"}, "unknown option: --bogus"},
      {{"eval", "F(x)=x", "abc"}, "not a number: abc"},
      {{"eval", "F(x)=x", "1,5"}, "not a number: 1,5"},
      {{"eval", "F(x)=x", ""}, "not a number: "},
      {{"eval", "F(x)=x", "inf"}, "not a number: inf"},
      {{"eval", "F(x)=x", "nan"}, "not a number: nan"},
      {{"eval", "F(x)=x", "1e99999"}, "out of range: 1e99999"},
      {{"eval", "F(x)=x", "1", "-1e4933"}, "out of range: -1e4933"},
      {{"eval", "F(x)=x", "1.19e4932"}, "out of range: 1.19e4932"},  // just above the largest
  };
  for (const Case& c : cases) {
    const CliRun r = cli(c.args);
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    EXPECT_EQ(r.status, 2) << joined;
    EXPECT_EQ(r.out, "") << joined;
    const std::string first = "kurvana-cli: " + c.problem + "\n";
    EXPECT_EQ(r.err.substr(0, first.size()), first) << joined;
    EXPECT_EQ(r.err.find("usage: kurvana-cli eval"), first.size()) << joined;
  }
}

TEST(CliEval, ArgumentsAtTheEdgesOfTheRange) {
  const CliRun r = cli({"eval", "F(x)=x", "1.18e4932", "-1.18e4932", "1e-99999"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, exact(1.18e4932L) + exact(-1.18e4932L) + "0\n");  // too small is 0
}

}  // namespace
