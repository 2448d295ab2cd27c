// The two compiler passes: lexical (label, vocabulary, renaming, numbers) and
// structure (bracket depths, pieces innermost first).
#include <locale.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/formula.h"
#include "engine/reduction.h"

namespace kurvana {
namespace {

// The vocabulary in the order in which masking tries entries of equal length.
constexpr std::array<std::string_view, 46> kLexicon = {
    "SIN",  "COS",  "TAN",  "ARCSIN", "ARCCOS", "ARCTAN", "^",     "LG",    "LN",   "EXP", "(", ")",
    "*",    "/",    "+",    "-",      "0",      "1",      "2",     "3",     "4",    "5",   "6", "7",
    "8",    "9",    "PI",   "E",      ".",      "X",      "F(X)=", "G(X)=", "[",    "]",   "{", "}",
    "SQRT", "SINH", "COSH", "TANH",   "INT",    "LOG",    "ASIN",  "ACOS",  "ATAN", "ABS"};

// Internal names that keep E, P, Q and H (number and reference characters) out
// of function names, applied in this order.
constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kRenames = {
    {{"PI", "P"},
     {"EXP", "TR"},
     {"SQRT", "SRT"},
     {"SINH", "SINI"},
     {"COSH", "COSI"},
     {"TANH", "TANI"}}};

constexpr std::string_view kLabelF = "F(X)=";
constexpr std::string_view kLabelG = "G(X)=";

// Pi as the exact extended value: sign 0, exponent 0x4000, significand
// 0xC90FDAA2'2168C235 (the correctly rounded 3.14159265358979323851...).
long double extendedPi() {
  const std::uint64_t significand = 0xC90FDAA22168C235ull;
  const std::uint16_t signAndExponent = 0x4000;
  unsigned char bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
  long double value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

// Every decimal conversion of formula text uses the point, whatever the
// user's locale says.
locale_t cLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t{});
  return locale;
}

bool allMasked(const std::string& copy) {
  return std::all_of(copy.begin(), copy.end(), [](char c) { return c == '$'; });
}

// Longer entries first, lexicon order among equal lengths: ARCSIN is consumed
// before SIN, SINH before SIN, EXP before E and X.
bool inVocabulary(std::string copy) {
  for (std::size_t length = 6; length >= 1; --length) {
    for (std::string_view entry : kLexicon) {
      if (entry.size() != length) continue;
      for (auto at = copy.find(entry); at != std::string::npos; at = copy.find(entry)) {
        copy.replace(at, length, length, '$');
      }
    }
  }
  return allMasked(copy);
}

void applyRenames(std::string& text) {
  for (const auto& [from, to] : kRenames) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from)) {
      text.replace(at, from.size(), to);
    }
  }
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

std::string upperCaseFormula(std::string_view fieldText) {
  std::string text(fieldText);
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

bool isNumberChar(char c) {
  return isDigit(c) || c == 'P' || c == 'E' || c == '.';
}

bool storeConstant(std::string_view run, CompiledFormula& formula) {
  if (formula.constCount >= kMaxConstants) return false;
  long double value = 0.0L;
  if (run == "P") {
    value = extendedPi();
  } else {
    // mantissa: digits [ "." digits ], not empty; then [ "E" [ "-" ] digits ].
    std::size_t i = 0;
    std::string number;
    bool mantissaDigits = false;
    while (i < run.size() && isDigit(run[i])) number += run[i++], mantissaDigits = true;
    if (i < run.size() && run[i] == '.') {
      number += run[i++];
      while (i < run.size() && isDigit(run[i])) number += run[i++], mantissaDigits = true;
    }
    if (number.empty()) return false;
    if (i < run.size() && run[i] == 'E') {
      ++i;
      std::string exponent;
      if (i < run.size() && run[i] == '-') exponent += run[i++];
      while (i < run.size() && isDigit(run[i])) exponent += run[i++];
      // Missing exponent digits mean exponent 0: 1E is 1, 2E- is 2.
      if (exponent.size() > (exponent.starts_with('-') ? 1u : 0u)) number += 'E' + exponent;
    }
    if (i != run.size()) return false;
    if (mantissaDigits) {  // a lone point is 0
      char* end = nullptr;
      value = strtold_l(number.c_str(), &end, cLocale());
      if (end != number.c_str() + number.size()) return false;
      // A literal beyond the extended range would enter every sample as an
      // infinity that no later operation flags.
      if (std::isinf(value)) return false;
    }
  }
  formula.constants[++formula.constCount] = value;
  return true;
}

bool compileFormula(std::string_view text, CompiledFormula& formula) {
  formula = CompiledFormula{};
  formula.source = std::string(text);
  if (text.size() < 6) return false;

  std::string s;
  s.reserve(text.size());
  for (char c : text) {
    if (c != ' ') s += c;
  }
  if (!s.starts_with(kLabelF) && !s.starts_with(kLabelG)) return false;
  s.erase(0, kLabelF.size());

  for (char& c : s) {
    if (c == '[' || c == '{') c = '(';
    if (c == ']' || c == '}') c = ')';
  }
  if (std::count(s.begin(), s.end(), '(') != std::count(s.begin(), s.end(), ')')) return false;
  if (!inVocabulary(s)) return false;
  applyRenames(s);

  std::string& out = formula.normalized;
  for (std::size_t i = 0; i < s.size();) {
    if (!isNumberChar(s[i])) {
      out += s[i++];
      continue;
    }
    std::size_t end = i + 1;
    while (end < s.size() && (isNumberChar(s[end]) || (s[end] == '-' && s[end - 1] == 'E'))) {
      ++end;
    }
    if (!storeConstant(std::string_view(s).substr(i, end - i), formula)) return false;
    out += "Q[" + std::to_string(formula.constCount) + "]";
    i = end;
  }
  return true;
}

bool splitPieces(CompiledFormula& formula) {
  std::string text;
  int depth = 0;
  int deepest = 0;
  for (char c : formula.normalized) {
    if (c == '(') {
      ++depth;
      deepest = std::max(deepest, depth);
      text += "V[" + std::to_string(depth) + "]";
    } else if (c == ')') {
      if (depth == 0) return false;  // closed before it was opened
      text += "W[" + std::to_string(depth) + "]";
      --depth;
    } else {
      text += c;
    }
  }
  if (depth != 0 || deepest > kMaxDepth) return false;

  int count = 0;
  for (int level = deepest; level >= 1; --level) {
    const std::string open = "V[" + std::to_string(level) + "]";
    const std::string close = "W[" + std::to_string(level) + "]";
    for (auto from = text.find(open); from != std::string::npos; from = text.find(open)) {
      const auto to = text.find(close);
      if (count == kMaxPieces - 1) return false;  // no room left for the top level
      ++count;
      const auto inner = from + open.size();
      formula.pieces[count] = text.substr(inner, to - inner);
      text.replace(from, to + close.size() - from, "H[" + std::to_string(count) + "]");
    }
  }
  formula.pieces[++count] = text;
  formula.pieceCount = count;
  formula.baseConstCount = formula.constCount;
  recordReduction(formula);
  return true;
}

}  // namespace kurvana
