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
#include <memory>
#include <utility>

#include "engine/compiler_internal.h"
#include "engine/lexical.h"
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

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

// Longer entries first, lexicon order among equal lengths: ARCSIN is consumed
// before SIN, SINH before SIN, EXP before E and X. Masking writes "$", which
// no entry contains, so it never creates an occurrence: after masking the
// first one, the next first one lies behind it, and one scan per entry finds
// every occurrence that a search from the start after each mask would find.
bool inVocabulary(std::string copy) {
  for (std::size_t length = 6; length >= 1; --length) {
    for (std::string_view entry : kLexicon) {
      if (entry.size() != length) continue;
      for (auto at = copy.find(entry); at != std::string::npos;
           at = copy.find(entry, at + length)) {
        copy.replace(at, length, length, '$');
      }
    }
  }
  return allMasked(copy);
}

// Replaces the first occurrence of `from` until none is left. The text is read
// once into `out`, which never holds an occurrence: the first occurrence of the
// whole text is the first one to end, so it is found as a suffix of `out` the
// moment its last character arrives. Its replacement goes back in front of the
// unread text, so occurrences that it forms with what precedes or follows it
// are found in the same way. Each rename shortens the text or removes an H,
// so there are fewer replacements than characters and the work stays
// proportional to the length.
std::string replaceEvery(const std::string& text, std::string_view from, std::string_view to) {
  const auto first = text.find(from);
  if (first == std::string::npos) return text;
  std::string out(text, 0, first);  // holds no occurrence
  out.reserve(text.size());
  std::string pending;  // replacements not yet read again, last character first
  for (std::size_t next = first;;) {
    if (!pending.empty()) {
      out += pending.back();
      pending.pop_back();
    } else if (next < text.size()) {
      out += text[next++];
    } else {
      return out;
    }
    if (std::string_view(out).ends_with(from)) {
      out.resize(out.size() - from.size());
      pending.append(to.rbegin(), to.rend());
    }
  }
}

std::string renameFunctions(std::string text) {
  for (const auto& [from, to] : kRenames) text = replaceEvery(text, from, to);
  return text;
}

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
  s = renameFunctions(std::move(s));

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

CompileResult compile(std::string_view fieldText) {
  auto formula = std::make_shared<CompiledFormula>();
  if (!compileFormula(upperCaseFormula(fieldText), *formula)) {
    return {Formula(), CompileError::kSyntax};
  }
  if (!splitPieces(*formula)) return {Formula(), CompileError::kStructure};
  return {FormulaAccess::seal(std::move(formula)), std::nullopt};
}

bool splitPieces(CompiledFormula& formula) {
  std::string text;
  text.reserve(formula.normalized.size() * 4);
  int depth = 0;
  int deepest = 0;
  for (char c : formula.normalized) {
    if (c == '(') {
      ++depth;
      // Too deep fails whatever follows; stopping here keeps every marker one digit.
      if (depth > kMaxDepth) return false;
      deepest = std::max(deepest, depth);
      text += "V[";
      text += static_cast<char>('0' + depth);
      text += ']';
    } else if (c == ')') {
      if (depth == 0) return false;  // closed before it was opened
      text += "W[";
      text += static_cast<char>('0' + depth);
      text += ']';
      --depth;
    } else {
      text += c;
    }
  }
  if (depth != 0) return false;

  // Each level in one left-to-right pass. Taking the first V[k] and the first
  // W[k] again and again gives the same groups: all deeper groups are gone, so
  // the first W[k] closes the first V[k], and each H[n] written in place of a
  // group holds no marker, so the next first V[k] lies behind it.
  int count = 0;
  for (int level = deepest; level >= 1; --level) {
    const std::string open = "V[" + std::to_string(level) + "]";
    const std::string close = "W[" + std::to_string(level) + "]";
    std::string rest;
    rest.reserve(text.size());
    std::size_t done = 0;
    for (auto from = text.find(open); from != std::string::npos; from = text.find(open, done)) {
      const auto to = text.find(close, from);
      if (count == kMaxPieces - 1) return false;  // no room left for the top level
      ++count;
      const auto inner = from + open.size();
      formula.pieces[count] = text.substr(inner, to - inner);
      rest.append(text, done, from - done);
      rest += "H[" + std::to_string(count) + "]";
      done = to + close.size();
    }
    rest.append(text, done, std::string::npos);
    text = std::move(rest);
  }
  formula.pieces[++count] = text;
  formula.pieceCount = count;
  formula.baseConstCount = formula.constCount;
  recordReduction(formula);
  return true;
}

}  // namespace kurvana
