// The lexical and structure passes: what they accept, reject and produce.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/formula.h"

namespace kurvana {
namespace {

enum class Stage { kLexical, kStructure, kCompiled };

Stage compile(const std::string& fieldText, CompiledFormula& f) {
  if (!compileFormula(upperCaseFormula(fieldText), f)) return Stage::kLexical;
  if (!splitPieces(f)) return Stage::kStructure;
  return Stage::kCompiled;
}

Stage stageOf(const std::string& fieldText) {
  CompiledFormula f;
  return compile(fieldText, f);
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

TEST(FormulaCompiler, WorkedExampleProducesNormalizedTextConstantsAndPieces) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x) = 2 * SIN(X + PI/4)^2", f), Stage::kCompiled);
  EXPECT_EQ(f.normalized, "Q[1]*SIN(X+Q[2]/Q[3])^Q[4]");
  EXPECT_EQ(f.constCount, 4);
  EXPECT_EQ(f.baseConstCount, 4);
  EXPECT_EQ(f.constants[1], 2.0L);
  EXPECT_EQ(f.constants[3], 4.0L);
  EXPECT_EQ(f.constants[4], 2.0L);
  ASSERT_EQ(f.pieceCount, 2);
  EXPECT_EQ(f.pieces[1], "X+Q[2]/Q[3]");
  EXPECT_EQ(f.pieces[2], "Q[1]*SINH[1]^Q[4]");
  EXPECT_EQ(f.source, "F(X) = 2 * SIN(X + PI/4)^2");
}

TEST(FormulaCompiler, PiIsTheExactExtendedPattern) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=pi", f), Stage::kCompiled);
  unsigned char bytes[sizeof(long double)];
  std::memcpy(bytes, &f.constants[1], sizeof bytes);
  const unsigned char expected[10] = {0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40};
  EXPECT_EQ(std::memcmp(bytes, expected, 10), 0);
}

struct StageCase {
  const char* text;
  Stage stage;
};

class CompileStage : public ::testing::TestWithParam<StageCase> {};

TEST_P(CompileStage, StopsAtTheExpectedPass) {
  EXPECT_EQ(stageOf(GetParam().text), GetParam().stage) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    LabelsAndLength, CompileStage,
    ::testing::Values(StageCase{"F(x)=", Stage::kLexical},  // shorter than 6
                      StageCase{"F(x)=x", Stage::kCompiled},
                      StageCase{"F(x)= ", Stage::kCompiled},  // empty formula: fails later
                      StageCase{"f(x) = sin x", Stage::kCompiled},
                      StageCase{"G(x)=x^2", Stage::kCompiled},  // either label in either field
                      StageCase{"H(x)=x^2", Stage::kLexical}, StageCase{"F(x)x+1", Stage::kLexical},
                      StageCase{"x+F(x)=1", Stage::kLexical},
                      StageCase{"  F ( x ) = x", Stage::kCompiled}));

INSTANTIATE_TEST_SUITE_P(
    Brackets, CompileStage,
    ::testing::Values(StageCase{"F(x)=sin(x", Stage::kLexical},  // counts differ
                      StageCase{"F(x)=)x(", Stage::kStructure},
                      StageCase{"F(x)=x)+(x", Stage::kStructure},
                      StageCase{"F(x)=(x]", Stage::kCompiled},  // kinds are interchangeable
                      StageCase{"F(x)={x)*[x}", Stage::kCompiled},
                      StageCase{"F(x)=()", Stage::kCompiled}));

INSTANTIATE_TEST_SUITE_P(
    Vocabulary, CompileStage,
    ::testing::Values(
        StageCase{"F(x)=cos int x", Stage::kLexical},  // SIN masks across
        StageCase{"F(x)=abs int x", Stage::kLexical},
        StageCase{"F(x)=cos(int(x))", Stage::kCompiled},
        StageCase{"F(x)=asinh(x)", Stage::kLexical}, StageCase{"F(x)=arcsinh(x)", Stage::kLexical},
        StageCase{"F(x)=sinh(x)+cosh(x)*tanh(x)", Stage::kCompiled},
        StageCase{"F(x)=exp(x)+sqrt(x)", Stage::kCompiled}, StageCase{"F(x)=y", Stage::kLexical},
        StageCase{"F(x)=x,5", Stage::kLexical}, StageCase{"F(x)=x\t", Stage::kLexical},
        StageCase{"F(x)=p", Stage::kLexical},   // P without its I
        StageCase{"F(x)=$", Stage::kCompiled},  // the mask character itself
        StageCase{"F(x)=x+F(x)=1", Stage::kCompiled}, StageCase{"F(x)=x\xc3\xa9", Stage::kLexical},
        StageCase{"F(x)=3x", Stage::kCompiled},  // fails at evaluation
        StageCase{"F(x)=tan int x", Stage::kCompiled}));

INSTANTIATE_TEST_SUITE_P(Numbers, CompileStage,
                         ::testing::Values(StageCase{"F(x)=2pi", Stage::kLexical},  // the run 2P
                                           StageCase{"F(x)=2 * pi", Stage::kCompiled},
                                           StageCase{"F(x)=pi2", Stage::kLexical},  // the run P2
                                           StageCase{"F(x)=x-e", Stage::kLexical},  // the run E
                                           StageCase{"F(x)=pie", Stage::kLexical},  // the run PE
                                           StageCase{"F(x)=1.2.3", Stage::kLexical},
                                           StageCase{"F(x)=1e2e3", Stage::kLexical},
                                           StageCase{"F(x)=e5", Stage::kLexical},
                                           StageCase{"F(x)=1e5000",
                                                     Stage::kLexical},  // beyond the extended range
                                           StageCase{"F(x)=1e-5000", Stage::kCompiled},
                                           StageCase{"F(x)=1e4932", Stage::kCompiled}));

TEST(FormulaCompiler, NumberGrammar) {
  struct Case {
    const char* text;
    long double value;
  };
  for (const Case& c :
       {Case{"F(x)=.", 0.0L}, Case{"F(x)=5.", 5.0L}, Case{"F(x)=.5", 0.5L}, Case{"F(x)=1e", 1.0L},
        Case{"F(x)=2e-", 2.0L}, Case{"F(x)=2E-3", 0.002L}, Case{"F(x)=1e-3 * x", 0.001L},
        Case{"F(x)=0.1", 0.1L}, Case{"F(x)=007", 7.0L}, Case{"F(x)=1.5e3", 1500.0L},
        Case{"F(x)=0.5 * x", 0.5L}}) {
    CompiledFormula f;
    ASSERT_EQ(compile(c.text, f), Stage::kCompiled) << c.text;
    EXPECT_EQ(f.constants[1], c.value) << c.text;
  }
}

TEST(FormulaCompiler, PlusAfterExponentEndsTheRun) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=1E+3", f), Stage::kCompiled);
  EXPECT_EQ(f.normalized, "Q[1]+Q[2]");
  EXPECT_EQ(f.constants[1], 1.0L);
  EXPECT_EQ(f.constants[2], 3.0L);
}

TEST(FormulaCompiler, RenamesKeepNumberAndReferenceLettersOutOfNames) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=exp(x)+sqrt(x)+sinh(x)+cosh(x)+tanh(pi)", f), Stage::kCompiled);
  EXPECT_EQ(f.normalized, "TR(X)+SRT(X)+SINI(X)+COSI(X)+TANI(Q[1])");
  ASSERT_EQ(compile("f(x) = sin x", f), Stage::kCompiled);
  EXPECT_EQ(f.normalized, "SINX");
}

TEST(FormulaCompiler, AtMostOneHundredNumbers) {
  EXPECT_EQ(stageOf("F(x)=" + repeat("1+", 99) + "1"), Stage::kCompiled);
  EXPECT_EQ(stageOf("F(x)=" + repeat("1+", 100) + "1"), Stage::kLexical);
}

TEST(FormulaCompiler, AtMostNineLevels) {
  EXPECT_EQ(stageOf("F(x)=" + repeat("(", 9) + "x" + repeat(")", 9)), Stage::kCompiled);
  EXPECT_EQ(stageOf("F(x)=" + repeat("(", 10) + "x" + repeat(")", 10)), Stage::kStructure);
}

TEST(FormulaCompiler, AtMostNinetyNineGroups) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=" + repeat("(x)+", 98) + "(x)", f), Stage::kCompiled);
  EXPECT_EQ(f.pieceCount, 100);
  EXPECT_EQ(stageOf("F(x)=" + repeat("(x)+", 99) + "(x)"), Stage::kStructure);
}

TEST(FormulaCompiler, PiecesInnermostFirstThenLeftToRight) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=(x+1)*((x-2)/(x*3))", f), Stage::kCompiled);
  ASSERT_EQ(f.pieceCount, 5);
  EXPECT_EQ(f.pieces[1], "X-Q[2]");
  EXPECT_EQ(f.pieces[2], "X*Q[3]");
  EXPECT_EQ(f.pieces[3], "X+Q[1]");
  EXPECT_EQ(f.pieces[4], "H[1]/H[2]");
  EXPECT_EQ(f.pieces[5], "H[3]*H[4]");
}

TEST(FormulaCompiler, EmptyGroupIsAnEmptyPiece) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=()", f), Stage::kCompiled);
  EXPECT_EQ(f.pieces[1], "");
  EXPECT_EQ(f.pieces[2], "H[1]");
}

TEST(FormulaCompiler, CompilingAgainStartsFresh) {
  CompiledFormula f;
  ASSERT_EQ(compile("F(x)=(1+2)*(3+x)", f), Stage::kCompiled);
  ASSERT_EQ(compile("F(x)=x", f), Stage::kCompiled);
  EXPECT_EQ(f.constCount, 0);
  EXPECT_EQ(f.pieceCount, 1);
  EXPECT_TRUE(f.program.empty());
}

}  // namespace
}  // namespace kurvana
