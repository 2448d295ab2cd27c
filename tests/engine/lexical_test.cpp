// The masking and renaming steps of the lexical pass, which read the text once,
// against the literal steps that search from the start after every
// replacement: exhaustively over small alphabets, and on random overlapping
// fragments of the vocabulary.
#include "engine/lexical.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "engine/text_oracle.h"

namespace kurvana {
namespace {

// Calls `visit` with every string over `alphabet` of 0 to maxLength characters.
void forEachString(const std::string& alphabet, std::size_t maxLength,
                   const std::function<void(const std::string&)>& visit) {
  std::vector<std::string> level = {""};
  visit("");
  for (std::size_t length = 1; length <= maxLength; ++length) {
    std::vector<std::string> next;
    next.reserve(level.size() * alphabet.size());
    for (const std::string& s : level) {
      for (char c : alphabet) {
        next.push_back(s + c);
        visit(next.back());
      }
    }
    level = std::move(next);
  }
}

// Whole entries, their overlapping parts and stray letters, so that entries
// form across fragment boundaries (ARC + SINH, TAN + INT, EX + PI ...).
const std::vector<std::string> kFragments = {
    "SIN", "COS", "TAN",  "ARCSIN", "ARCCOS", "ARCTAN", "^",   "LG",  "LN",   "EXP",  "(",    ")",
    "*",   "/",   "+",    "-",      "1",      "2",      "PI",  "E",   ".",    "X",    "[",    "]",
    "{",   "}",   "SQRT", "SINH",   "COSH",   "TANH",   "INT", "LOG", "ASIN", "ACOS", "ATAN", "ABS",
    "ARC", "AR",  "RC",   "SI",     "IN",     "NH",     "TA",  "AN",  "CO",   "OS",   "SQ",   "QR",
    "RT",  "EX",  "XP",   "P",      "I",      "H",      "N",   "T",   "C",    "A",    "S",    "O",
    "G",   "L",   "$",    "F(X)=",  "G(X)=",  "B",      "Q",   "R"};

std::string randomFragments(std::mt19937& rng, int most) {
  std::string s;
  const int n = 1 + static_cast<int>(rng() % static_cast<unsigned>(most));
  for (int i = 0; i < n; ++i) s += kFragments[rng() % kFragments.size()];
  return s;
}

TEST(LexicalSteps, MaskingAgreesOnEveryShortString) {
  int accepted = 0;
  for (const std::string alphabet : {"SINHARC$", "TANHIXEP", "COSHIPTA"}) {
    forEachString(alphabet, 6, [&](const std::string& s) {
      const bool expected = testing::oracleInVocabulary(s);
      ASSERT_EQ(inVocabulary(s), expected) << s;
      accepted += expected;
    });
  }
  EXPECT_GT(accepted, 400);
}

TEST(LexicalSteps, MaskingAgreesOnOverlappingFragments) {
  std::mt19937 rng(11);
  int accepted = 0;
  for (int i = 0; i < 40000; ++i) {
    const std::string s = randomFragments(rng, 14);
    const bool expected = testing::oracleInVocabulary(s);
    ASSERT_EQ(inVocabulary(s), expected) << s;
    accepted += expected;
  }
  EXPECT_GT(accepted, 4000);
  EXPECT_LT(accepted, 36000);
}

struct Rule {
  const char* from;
  const char* to;
  const char* alphabet;
  std::size_t maxLength;
};

std::ostream& operator<<(std::ostream& out, const Rule& rule) {
  return out << rule.from << " -> " << rule.to;
}

// The renames themselves, and rules whose replacements cascade: each one can
// form a new occurrence with the text before or after it.
class ReplaceEvery : public ::testing::TestWithParam<Rule> {};

TEST_P(ReplaceEvery, AgreesOnEveryShortString) {
  const Rule& rule = GetParam();
  int changed = 0;
  forEachString(rule.alphabet, rule.maxLength, [&](const std::string& s) {
    const std::string expected = testing::oracleReplaceAll(s, rule.from, rule.to);
    ASSERT_EQ(replaceEvery(s, rule.from, rule.to), expected)
        << s << " with " << rule.from << " -> " << rule.to;
    changed += expected != s;
  });
  EXPECT_GT(changed, 100);
}

INSTANTIATE_TEST_SUITE_P(
    RenamesAndCascades, ReplaceEvery,
    ::testing::Values(Rule{"PI", "P", "PIX", 10}, Rule{"EXP", "TR", "EXPTR", 7},
                      Rule{"SQRT", "SRT", "SQRT", 8}, Rule{"SINH", "SINI", "SINH", 8},
                      Rule{"COSH", "COSI", "COSHI", 7}, Rule{"TANH", "TANI", "TANHI", 7},
                      Rule{"AB", "B", "AB", 12},    // AAAB becomes B
                      Rule{"ABA", "A", "AB", 12},   // the replacement starts the next one
                      Rule{"AAB", "BA", "AB", 12},  // and ends one begun before it
                      Rule{"ABC", "AB", "ABC", 9},  // leaves a prefix of the pattern
                      Rule{"AB", "", "AB", 12}));   // removal joins both sides

TEST(LexicalSteps, RenamingAgreesOnOverlappingFragments) {
  std::mt19937 rng(12);
  for (int i = 0; i < 40000; ++i) {
    const std::string s = randomFragments(rng, 14);
    std::string expected = s;
    for (const auto& [from, to] : {std::pair<std::string, std::string>{"PI", "P"},
                                   {"EXP", "TR"},
                                   {"SQRT", "SRT"},
                                   {"SINH", "SINI"},
                                   {"COSH", "COSI"},
                                   {"TANH", "TANI"}}) {
      expected = testing::oracleReplaceAll(expected, from, to);
    }
    ASSERT_EQ(renameFunctions(s), expected) << s;
  }
}

}  // namespace
}  // namespace kurvana
