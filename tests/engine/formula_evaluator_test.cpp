// Evaluation of compiled formulas: precedence, operands and failures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/compiler_internal.h"

namespace kurvana {
namespace {

// The value of the field text at x, or nullopt for any failure.
std::optional<long double> eval(const std::string& fieldText, long double x = 0.0L) {
  CompiledFormula f;
  if (!compileFormula(upperCaseFormula(fieldText), f) || !splitPieces(f)) {
    ADD_FAILURE() << "does not compile: " << fieldText;
    return std::nullopt;
  }
  EvalWorkspace ws;
  if (!evaluateFormula(f, x, ws)) {
    EXPECT_EQ(ws.evalResult, 0.0L) << fieldText;
    return std::nullopt;
  }
  return ws.evalResult;
}

struct ValueCase {
  const char* text;
  long double x;
  long double expected;
};

class Evaluates : public ::testing::TestWithParam<ValueCase> {};

TEST_P(Evaluates, ToTheExactValue) {
  const auto value = eval(GetParam().text, GetParam().x);
  ASSERT_TRUE(value.has_value()) << GetParam().text << " at " << static_cast<double>(GetParam().x);
  EXPECT_EQ(*value, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Precedence, Evaluates,
    ::testing::Values(ValueCase{"F(x)=8/2/2", 0, 2},        // divisions left to right
                      ValueCase{"F(x)=2^3^2", 0, 64},       // powers left to right
                      ValueCase{"F(x)=1-2+3", 0, 2},        // subtractions first
                      ValueCase{"F(x)=-x^2", 3, -9},        // sign applies after the power
                      ValueCase{"F(x)=1+1e20-1e20", 0, 1},  // A+B-C is A+(B-C)
                      ValueCase{"F(x)=1e4000*1e4000/1e4000", 0, 1e4000L},  // A*B/C is A*(B/C)
                      ValueCase{"F(x)=x+-2", 5, 3},  // "-" right after "+" is a sign
                      ValueCase{"F(x)=-x", 2, -2}, ValueCase{"F(x)=+x", 2, 2},
                      ValueCase{"F(x)=x+*2", 7, 7},  // a missing left operand counts as 0
                      ValueCase{"F(x)=2*(x+1)", 4, 10}, ValueCase{"F(x)=[x+1}*{2]", 4, 10},
                      ValueCase{"F(x)=(-8)^3", 0, -512}, ValueCase{"F(x)=(-2)^3", 0, -8},
                      ValueCase{"F(x)=0^0", 0, 1}, ValueCase{"F(x)=0^(-0.5)", 0, 0},
                      ValueCase{"F(x)=2^(-1)", 0, 0.5L}));

INSTANTIATE_TEST_SUITE_P(
    Functions, Evaluates,
    ::testing::Values(ValueCase{"F(x)=sinh(x)", 0, 0}, ValueCase{"F(x)=cosh(x)", 0, 1},
                      ValueCase{"F(x)=tanh(1e5)", 0, 1}, ValueCase{"F(x)=tanh(-24)", 0, -1},
                      ValueCase{"F(x)=int(x)", -2.75L, -2}, ValueCase{"F(x)=abs(x)", -2.5L, 2.5L},
                      ValueCase{"F(x)=sqrt(x)", 2.25L, 1.5L}, ValueCase{"F(x)=lg(x)", 1, 0},
                      ValueCase{"F(x)=log(x)", 1, 0}, ValueCase{"F(x)=ln(1)", 0, 0},
                      ValueCase{"F(x)=exp(0)", 0, 1}, ValueCase{"F(x)=x", -0.5L, -0.5L},
                      ValueCase{"F(x)=pi", 0, 3.14159265358979323851L}));

TEST(FormulaEvaluator, FunctionsBindTighterThanPowersAndTakeOneOperand) {
  volatile long double runtimeX = 2.0L;  // the library at run time, not constant folding
  const long double x = runtimeX;
  EXPECT_EQ(eval("F(x)=sin x^2", x), std::sin(x) * std::sin(x));
  EXPECT_EQ(eval("F(x)=2^sin x", x), std::exp(std::sin(x) * std::log(2.0L)));
  EXPECT_EQ(eval("F(x)=ln sin x", x), std::log(std::sin(x)));
  EXPECT_EQ(eval("F(x)=cos sin x", x), std::cos(std::sin(x)));
  const long double half = std::atan2(0.5L, std::sqrt(0.75L));
  EXPECT_EQ(eval("F(x)=asin(x/4)+arcsin(x/4)", x), half + half);
}

TEST(FormulaEvaluator, IdentityHoldsWithinRounding) {
  for (long double x : {-7.5L, -1.0L, 0.0L, 0.3L, 2.0L, 100.0L, 12345.678L}) {
    const auto v = eval("F(x)=SIN(X)^2 + COS(X)^2", x);
    ASSERT_TRUE(v.has_value());
    EXPECT_NEAR(static_cast<double>(*v), 1.0, 1e-18) << static_cast<double>(x);
  }
}

TEST(FormulaEvaluator, MalformedTextFailsAtEveryArgument) {
  for (const char* text :
       {"F(x)=3x",    "F(x)=x2",        "F(x)=xx",        "F(x)=(x)(x)", "F(x)=sin",
        "F(x)=sin-x", "F(x)=sin cos x", "F(x)=tan int x", "F(x)=x*-2",   "F(x)=x/-2",
        "F(x)=x^-2",  "F(x)=x--2",      "F(x)=x-+2",      "F(x)=*x",     "F(x)=/x",
        "F(x)=^x",    "F(x)=x^",        "F(x)=x+",        "F(x)=()",     "F(x)= ",
        "F(x)=$",     "F(x)=x+F(x)=1",  "F(x)=sin(x)(x)"}) {
    for (long double x : {0.0L, 1.0L}) EXPECT_FALSE(eval(text, x).has_value()) << text;
  }
}

TEST(FormulaEvaluator, DomainErrorsDivisionsAndOverflowsFail) {
  struct Case {
    const char* text;
    long double x;
  };
  for (const Case& c :
       {Case{"F(x)=sqrt(x)", -1}, Case{"F(x)=ln(x)", 0}, Case{"F(x)=ln(x)", -1},
        Case{"F(x)=lg(x)", 0}, Case{"F(x)=1/x", 0}, Case{"F(x)=x/x", 0}, Case{"F(x)=arcsin(x)", 2},
        Case{"F(x)=acos(x)", -1.0000001L}, Case{"F(x)=sinh(1e5)", 0}, Case{"F(x)=cosh(-1e5)", 0},
        Case{"F(x)=exp(x)", 11357}, Case{"F(x)=(-8)^(1/3)", 0}, Case{"F(x)=0^(-1)", 0},
        Case{"F(x)=x*x", 1e2500L}, Case{"F(x)=x+x", 1e4932L}, Case{"F(x)=10^5000", 0}}) {
    EXPECT_FALSE(eval(c.text, c.x).has_value()) << c.text << " at " << static_cast<double>(c.x);
  }
}

TEST(FormulaEvaluator, UnderflowIsNoFailure) {
  EXPECT_EQ(eval("F(x)=x*x", 1e-3000L), 0.0L);
  EXPECT_EQ(eval("F(x)=exp(x)", -20000), 0.0L);
}

TEST(FormulaEvaluator, ConstantTableLimitCountsIntermediateResults) {
  std::string sum = "F(x)=1";
  for (int i = 1; i < 50; ++i) sum += "+1";  // 50 numbers + 49 sums = 99 constants
  EXPECT_EQ(eval(sum), 50.0L);
  sum += "+1";  // 51 + 50 = 101
  EXPECT_FALSE(eval(sum).has_value());
}

TEST(FormulaEvaluator, NonFiniteArgumentFails) {
  EXPECT_FALSE(eval("F(x)=x*2", INFINITY).has_value());
  EXPECT_FALSE(eval("F(x)=sin(x)", NAN).has_value());
}

TEST(FormulaEvaluator, PiecesEvaluateOneByOne) {
  CompiledFormula f;
  ASSERT_TRUE(compileFormula("F(X)=2*SIN(X+PI/4)^2", f) && splitPieces(f));
  EvalWorkspace ws;
  ASSERT_TRUE(evaluatePiece(f, 1, 1.0L, ws));
  EXPECT_EQ(ws.evalResult, 1.0L + f.constants[2] / 4.0L);
  ASSERT_TRUE(evaluatePiece(f, 2, 1.0L, ws));
  const long double s = std::sin(1.0L + f.constants[2] / 4.0L);
  EXPECT_EQ(ws.evalResult, 2.0L * (s * s));
  EXPECT_FALSE(evaluatePiece(f, 3, 1.0L, ws));
}

// The program splits into the pieces' runs with nothing left over, also where
// a sine and a cosine of one operand were merged into one operation: the
// last piece ends where the program does, and evaluated one by one the
// pieces end on the formula's value.
TEST(FormulaEvaluator, PieceRunsCoverTheWholeProgram) {
  for (const char* text : {"F(X)=X", "F(X)=SIN X*COS X", "F(X)=(SIN X+COS X)*2",
                           "F(X)=(X+1)*SIN(X)-COS(X)", "F(X)=(SIN X)*(COS X)+SIN X^COS X",
                           "F(X)=((X*2)+SIN((X)))/COS((X))", "F(X)=2*SIN(X+PI/4)^2"}) {
    CompiledFormula f;
    ASSERT_TRUE(compileFormula(text, f) && splitPieces(f)) << text;
    ASSERT_EQ(f.failingPiece, 0) << text;
    EXPECT_EQ(f.pieceStart[1], 0) << text;
    EXPECT_EQ(f.pieceStart[f.pieceCount + 1], f.program.size()) << text;
    for (int i = 1; i <= f.pieceCount; ++i) {
      EXPECT_LE(f.pieceStart[i], f.pieceStart[i + 1]) << text << " piece " << i;
    }
    EvalWorkspace whole;
    ASSERT_TRUE(evaluateFormula(f, 0.75L, whole)) << text;
    EvalWorkspace ws;
    for (int i = 1; i <= f.pieceCount; ++i) {
      ASSERT_TRUE(evaluatePiece(f, i, 0.75L, ws)) << text << " piece " << i;
    }
    EXPECT_EQ(ws.evalResult, whole.evalResult) << text;
    EXPECT_FALSE(evaluatePiece(f, f.pieceCount + 1, 0.75L, ws)) << text;
    EXPECT_FALSE(evaluatePiece(f, 0, 0.75L, ws)) << text;
  }
}

TEST(FormulaEvaluator, OneFormulaServesManyWorkspaces) {
  CompiledFormula f;
  ASSERT_TRUE(compileFormula("F(X)=X^2+1/X", f) && splitPieces(f));
  EvalWorkspace a, b;
  ASSERT_TRUE(evaluateFormula(f, 2.0L, a));
  ASSERT_FALSE(evaluateFormula(f, 0.0L, b));
  ASSERT_TRUE(evaluateFormula(f, 4.0L, b));
  EXPECT_EQ(a.evalResult, 4.5L);
  EXPECT_EQ(b.evalResult, 16.25L);
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

TEST(FormulaEvaluator, SamplesStopAtTheFirstFailureInAnyBlock) {
  CompiledFormula f;
  ASSERT_TRUE(compileFormula("F(X)=1/(X-70)+SQRT(X)", f) && splitPieces(f));
  std::vector<long double> xs(150);
  for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = static_cast<long double>(i);
  std::vector<long double> values(xs.size(), -7.0L);
  EvalWorkspace ws;
  ASSERT_EQ(evaluateSamples(f, xs, values, ws), 70u);
  for (std::size_t i = 0; i < 70; ++i) {
    ASSERT_TRUE(evaluateFormula(f, xs[i], ws));
    EXPECT_EQ(values[i], ws.evalResult) << i;
  }
  EXPECT_EQ(values[70], -7.0L);  // untouched past the failure
  EXPECT_EQ(values[149], -7.0L);

  xs[3] = -1.0L;  // square root of a negative number, in the first block
  EXPECT_EQ(evaluateSamples(f, xs, values, ws), 3u);
  xs[3] = INFINITY;
  EXPECT_EQ(evaluateSamples(f, xs, values, ws), 3u);
}

TEST(FormulaEvaluator, ACompiledFormulaGivesTheRecordsBitsAndAnEmptyOneFails) {
  const CompileResult r = compile("f(x)=1/(x-70)+sqrt(x)");
  ASSERT_TRUE(r.ok());
  const Formula copy = r.formula;  // copies share the one record
  EXPECT_EQ(copy.compiled(), r.formula.compiled());
  std::vector<long double> xs(150);
  for (std::size_t i = 0; i < xs.size(); ++i) xs[i] = static_cast<long double>(i) / 3;
  std::vector<long double> values(xs.size()), direct(xs.size());
  EvalWorkspace ws;
  ASSERT_EQ(evaluateSamples(copy, xs, values, ws), 150u);
  ASSERT_EQ(evaluateSamples(*copy.compiled(), xs, direct, ws), 150u);
  EXPECT_EQ(std::memcmp(values.data(), direct.data(), values.size() * sizeof(long double)), 0);
  ASSERT_TRUE(evaluateFormula(copy, 2.0L, ws));
  EXPECT_EQ(ws.evalResult, 1.0L / (2.0L - 70) + std::sqrt(2.0L));
  EXPECT_FALSE(evaluateFormula(copy, 210.0L / 3, ws));  // x = 70
  EXPECT_EQ(ws.evalResult, 0.0L);

  const Formula none;
  ws.evalResult = 5;
  EXPECT_FALSE(evaluateFormula(none, 1.0L, ws));
  EXPECT_EQ(ws.evalResult, 0.0L);
  EXPECT_EQ(evaluateSamples(none, xs, values, ws), 0u);
  EXPECT_TRUE(compile("F(x)=(x").formula.empty());
}

TEST(FormulaEvaluator, SamplesOfAFormulaThatCannotBeReducedAllFail) {
  CompiledFormula f;
  ASSERT_TRUE(compileFormula("F(X)=3X", f) && splitPieces(f));
  std::vector<long double> xs(10, 1.0L), values(10);
  EvalWorkspace ws;
  EXPECT_EQ(evaluateSamples(f, xs, values, ws), 0u);
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

// LG and LOG of the extended value nearest to 10^k give k itself; every other
// argument keeps the library's logarithm.
struct LogCase {
  const char* text;
  long double x;
  long double expected;
};

std::ostream& operator<<(std::ostream& out, const LogCase& c) {
  return out << c.text << " at x = " << static_cast<double>(c.x);
}

class DecimalLogarithm : public ::testing::TestWithParam<LogCase> {};

TEST_P(DecimalLogarithm, IsTheWholeExponentOfAPowerOfTen) {
  const LogCase& c = GetParam();
  const auto value = eval(c.text, c.x);
  ASSERT_TRUE(value.has_value()) << c;
  EXPECT_EQ(*value, c.expected) << c;
}

INSTANTIATE_TEST_SUITE_P(
    PowersOfTen, DecimalLogarithm,
    ::testing::Values(LogCase{"F(x)=lg(1e100)", 0, 100},  // the library says 100 + 2^-57
                      LogCase{"F(x)=log(1E100)", 0, 100}, LogCase{"F(x)=lg(x)", 1e100L, 100},
                      LogCase{"F(x)=lg(1e27)", 0, 27},  // exact in extended, still a unit off
                      LogCase{"F(x)=lg(1e-5)", 0, -5}, LogCase{"F(x)=lg(1e0)", 0, 0},
                      LogCase{"F(x)=lg(1e4)", 0, 4}, LogCase{"F(x)=lg(1e4931)", 0, 4931},
                      LogCase{"F(x)=lg(1e4932)", 0, 4932}, LogCase{"F(x)=lg(1e-4931)", 0, -4931},
                      // a whole exponent: repeated squaring takes the negative base
                      LogCase{"F(x)=(0-2)^lg(1e100)", 0, 0x1p100L},
                      LogCase{"F(x)=(0-2)^log(x)", 1e100L, 0x1p100L},
                      LogCase{"F(x)=(0-2)^100", 0, 0x1p100L}));

TEST(FormulaEvaluator, LogarithmNextToAPowerOfTenIsTheLibrarys) {
  struct Case {
    const char* name;
    long double x;
  };
  for (const Case& c :
       {Case{"above 1E100", std::nextafter(1e100L, INFINITY)},
        Case{"below 1E100", std::nextafter(1e100L, 0.0L)},
        Case{"above 1E27", std::nextafter(1e27L, INFINITY)},
        Case{"below 1", std::nextafter(1.0L, 0.0L)},
        Case{"below 1E-5", std::nextafter(1e-5L, 0.0L)}, Case{"1E-4940, subnormal", 1e-4940L},
        Case{"1E-4932, subnormal", 1e-4932L}, Case{"2", 2.0L}}) {
    volatile long double runtimeX = c.x;  // the library at run time, not constant folding
    const long double x = runtimeX;
    const long double expected = std::log10(x);
    const auto value = eval("F(x)=lg(x)", x);
    ASSERT_TRUE(value.has_value()) << c.name;
    EXPECT_EQ(std::memcmp(&*value, &expected, 10), 0)
        << c.name << ": " << static_cast<double>(*value) << " vs " << static_cast<double>(expected);
  }
}

}  // namespace
}  // namespace kurvana
