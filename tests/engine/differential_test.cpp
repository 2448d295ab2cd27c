// The recorded-program evaluator against the literal text-rewriting oracle on
// generated formulas: same success, same bits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/compiler_internal.h"
#include "engine/text_oracle.h"

namespace kurvana {
namespace {

const std::vector<std::string> kFunctions = {
    "sin",  "cos",  "tan",  "arcsin", "arccos", "arctan", "lg",   "ln",   "exp", "sqrt",
    "sinh", "cosh", "tanh", "int",    "log",    "asin",   "acos", "atan", "abs"};
const std::vector<std::string> kNumbers = {
    "0",     "1",      "2",       "3",         "7",   "10",    "0.5",     "2.25",
    ".5",    "5.",     "1e-3",    "2E2",       "1e",  "2e-",   "3.14159", "pi",
    "1e300", "1e2000", "1e-2000", "12345.678", "0.1", "1e4900"};
const std::vector<std::string> kOperators = {"^", "*", "/", "+", "-"};
const std::vector<std::pair<std::string, std::string>> kBrackets = {
    {"(", ")"}, {"[", "]"}, {"{", "}"}, {"(", "]"}, {"{", ")"}};
const std::vector<std::string> kSoup = {"x",   "X",   "sin",    "cos", "tanh", "sqrt", "ln", "exp",
                                        "abs", "int", "asin",   "^",   "*",    "/",    "+",  "-",
                                        "(",   ")",   "[",      "}",   "2",    "0.5",  "pi", "1e-3",
                                        " ",   "3",   "arccos", "lg",  "sinh"};

class Generator {
 public:
  explicit Generator(unsigned seed) : rng_(seed) {}

  std::string structured() { return "F(x)=" + expression(0); }

  std::string soup() {
    std::string s = "F(x)=";
    const int n = 1 + pick(14);
    for (int i = 0; i < n; ++i) s += kSoup[pick(kSoup.size())];
    return s;
  }

 private:
  int pick(std::size_t n) { return static_cast<int>(rng_() % n); }
  bool chance(int percent) { return pick(100) < percent; }

  std::string spaced(const std::string& s) { return chance(15) ? " " + s + " " : s; }

  std::string atom(int depth) {
    const int kind = pick(depth > 3 ? 2 : 5);
    if (kind == 0) return chance(50) ? "x" : "X";
    if (kind == 1) return kNumbers[pick(kNumbers.size())];
    if (kind == 2) {  // a function applied to a bracketed or a bare operand
      std::string name = kFunctions[pick(kFunctions.size())];
      if (chance(30)) name = upper(name);
      return name + spaced(chance(75) ? bracketed(depth + 1) : atom(depth + 1));
    }
    return bracketed(depth + 1);
  }

  std::string bracketed(int depth) {
    const auto& [open, close] = kBrackets[pick(kBrackets.size())];
    return open + expression(depth) + close;
  }

  std::string expression(int depth) {
    std::string s;
    if (chance(15)) s += chance(70) ? "-" : "+";
    s += atom(depth);
    const int terms = pick(depth > 2 ? 2 : 4);
    for (int i = 0; i < terms; ++i) {
      s += spaced(kOperators[pick(kOperators.size())]);
      if (chance(8)) s += chance(50) ? "-" : "+";  // signs after operators
      s += atom(depth);
    }
    if (chance(3)) s += atom(depth);  // implicit products, which must fail
    return s;
  }

  static std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
  }

  std::mt19937 rng_;
};

bool sameBits(long double a, long double b) {
  return std::memcmp(&a, &b, 10) == 0;
}

struct Tally {
  int formulas = 0;
  int compiled = 0;
  int values = 0;
  int failures = 0;
};

void compare(const std::string& text, const std::vector<long double>& xs, Tally& tally) {
  ++tally.formulas;
  CompiledFormula f;
  if (!compileFormula(upperCaseFormula(text), f) || !splitPieces(f)) return;
  ++tally.compiled;
  EvalWorkspace ws;
  std::size_t firstOracleFailure = xs.size();
  std::vector<long double> expected(xs.size());
  for (std::size_t i = 0; i < xs.size(); ++i) {
    const long double x = xs[i];
    const bool oracleOk = testing::oracleEvaluate(f, x, expected[i]);
    if (!oracleOk) firstOracleFailure = std::min(firstOracleFailure, i);
    const bool ok = evaluateFormula(f, x, ws);
    ASSERT_EQ(ok, oracleOk) << text << " at x = " << static_cast<double>(x);
    if (ok) {
      ++tally.values;
      ASSERT_TRUE(sameBits(ws.evalResult, expected[i]))
          << text << " at x = " << static_cast<double>(x) << ": "
          << static_cast<double>(ws.evalResult) << " vs " << static_cast<double>(expected[i]);
    } else {
      ++tally.failures;
    }
  }
  // The block-wise path of the Draw command: same values up to the same first failure.
  std::vector<long double> values(xs.size());
  ASSERT_EQ(evaluateSamples(f, xs, values, ws), firstOracleFailure) << text;
  for (std::size_t i = 0; i < firstOracleFailure; ++i) {
    ASSERT_TRUE(sameBits(values[i], expected[i])) << text << " sample " << i;
  }
}

// Ordered so that formulas failing at some arguments fail at different
// positions of a block; the tail spills past the first 64-sample block.
std::vector<long double> makeArguments() {
  std::vector<long double> xs = {1.0L,  2.0L,  0.5L,  3.7L, 10.0L, 1e-3L, 100.0L, 0.785L,
                                 -1.0L, -0.5L, -2.5L, 0.0L, 1e5L,  -0.0L, 1e-20L, 6000.5L};
  for (int i = 0; i < 56; ++i) xs.push_back(0.25L + i * 0.125L);
  xs.push_back(-3.0L);
  return xs;
}
const std::vector<long double> kArguments = makeArguments();

TEST(Differential, StructuredFormulasAgreeBitForBit) {
  Generator gen(20261209);
  Tally tally;
  for (int i = 0; i < 3000; ++i) {
    compare(gen.structured(), kArguments, tally);
    if (HasFatalFailure()) return;
  }
  // Guard against a generator that only exercises failures.
  EXPECT_GT(tally.compiled, 1500);
  EXPECT_GT(tally.values, 50000);
  EXPECT_GT(tally.failures, 20000);
}

TEST(Differential, TokenSoupAgrees) {
  Generator gen(7);
  Tally tally;
  for (int i = 0; i < 4000; ++i) {
    compare(gen.soup(), kArguments, tally);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(tally.compiled, 500);
  EXPECT_GT(tally.values, 5000);
}

TEST(Differential, HandPickedCornersAgree) {
  Tally tally;
  for (const char* text : {"F(x)=2*sin(x+pi/4)^2",
                           "F(x)=x^x^x",
                           "F(x)=-x^-x",
                           "F(x)=x+-x-+x",
                           "F(x)=sin cos x",
                           "F(x)=ln sin x",
                           "F(x)=tan int x",
                           "F(x)=sqrt abs x",
                           "F(x)=x/x/x*x*x",
                           "F(x)=--x",
                           "F(x)=x*^2",
                           "F(x)=x+*2",
                           "F(x)=2^(1/3)^3",
                           "F(x)=((((((((x))))))))",
                           "F(x)=(x)+(x)*(x)/(x)-(x)",
                           "F(x)=exp(exp(exp(x)))",
                           "F(x)=tanh(x*1e4)",
                           "F(x)=asinacosx",
                           "F(x)=arctanatanx",
                           "F(x)=sinhcoshx",
                           "F(x)=x^0.5^2",
                           "F(x)=lg(1e100)+log(1e-4931)*lg 1e27",
                           "F(x)=(0-2)^lg(1e100)",
                           "F(x)=x^log(1e2)"}) {
    compare(text, kArguments, tally);
  }
  EXPECT_EQ(tally.compiled, tally.formulas);
}

// The compiler passes against their literal form: same success, same
// normalized text, same constants to the bit, same pieces.
void compareCompilation(const std::string& fieldText, int& compiled) {
  const std::string text = upperCaseFormula(fieldText);
  std::string normalized;
  std::vector<long double> constants;
  const bool lexical = testing::oracleCompile(text, normalized, constants);
  CompiledFormula f;
  ASSERT_EQ(compileFormula(text, f), lexical) << fieldText;
  if (!lexical) return;
  ASSERT_EQ(f.normalized, normalized) << fieldText;
  ASSERT_EQ(f.constCount + 1, static_cast<int>(constants.size())) << fieldText;
  for (int i = 1; i <= f.constCount; ++i) {
    ASSERT_TRUE(sameBits(f.constants[i], constants[i])) << fieldText << " constant " << i;
  }
  std::vector<std::string> pieces;
  const bool structured = testing::oracleSplit(normalized, pieces);
  ASSERT_EQ(splitPieces(f), structured) << fieldText;
  if (!structured) return;
  ++compiled;
  ASSERT_EQ(f.pieceCount + 1, static_cast<int>(pieces.size())) << fieldText;
  for (int i = 1; i <= f.pieceCount; ++i) ASSERT_EQ(f.pieces[i], pieces[i]) << fieldText;
}

TEST(CompilerDifferential, GeneratedFormulasAgreeWithTheLiteralPasses) {
  Generator gen(99);
  int compiled = 0;
  for (int i = 0; i < 3000; ++i) {
    compareCompilation(gen.structured(), compiled);
    compareCompilation(gen.soup(), compiled);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(compiled, 3000);
}

// Names that form across each other's boundaries, renames next to number
// letters, brackets at and beyond the limits.
TEST(CompilerDifferential, OverlapsAgreeWithTheLiteralPasses) {
  int compiled = 0;
  for (const char* text : {"F(x)=arcsinh x",
                           "F(x)=asinh(x)",
                           "F(x)=sinhsinx",
                           "F(x)=sinsinhx",
                           "F(x)=tan int x",
                           "F(x)=cos int x",
                           "F(x)=abs int x",
                           "F(x)=exp exp x",
                           "F(x)=exppi",
                           "F(x)=exp pi",
                           "F(x)=pipi",
                           "F(x)=pi*pi*pi",
                           "F(x)=e pi",
                           "F(x)=2e-pi",
                           "F(x)=1e-3e",
                           "F(x)=sqrtsqrtx",
                           "F(x)=coshsinhx",
                           "F(x)=tanhcoshx",
                           "F(x)=arccosh x",
                           "F(x)=arctanh x",
                           "F(x)=aatanx",
                           "F(x)=asinasinx",
                           "F(x)=arcsinarcsinx",
                           "F(x)=sinarcsinx",
                           "F(x)=acosh(x)",
                           "F(x)=atanh(x)",
                           "F(x)=sqrt(pi)^exp(x)",
                           "F(x)=lglnlogx",
                           "F(x)=logx",
                           "F(x)=lnx",
                           "F(x)=intx",
                           "F(x)=sinintx",
                           "F(x)=x+F(x)=x",
                           "F(x)=G(x)=x",
                           "F(x)=$x",
                           "F(x)=si$nx",
                           "F(x)=(((((((((x)))))))))",
                           "F(x)=((((((((((x))))))))))",
                           "F(x)=(x)(x)",
                           "F(x)={[(x)]}",
                           "F(x)=(x]+[x)",
                           "F(x)=)(",
                           "F(x)=exp(-pi)*sinh(2e-3)"}) {
    compareCompilation(text, compiled);
  }
  EXPECT_GT(compiled, 25);
}

}  // namespace
}  // namespace kurvana
