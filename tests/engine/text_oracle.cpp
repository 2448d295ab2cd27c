#include "engine/text_oracle.h"

#include <locale.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <string>
#include <vector>

#include "engine/compiler_internal.h"

namespace kurvana::testing {
namespace {

long double oraclePower(long double base, long double exponent);
long double oracleLg(long double x);

// The language's functions, written out here rather than taken from the
// engine, so that a wrong operation behind a name there shows as a difference.
// List order breaks ties between names of equal length.
struct Function {
  const char* name;
  long double (*apply)(long double left, long double right);
};

const std::array<Function, 20> kFunctions = {{
    {"SIN", [](long double, long double r) { return sinl(r); }},
    {"COS", [](long double, long double r) { return cosl(r); }},
    {"TAN", [](long double, long double r) { return tanl(r); }},
    {"ARCSIN", [](long double, long double r) { return atan2l(r, sqrtl(1.0L - r * r)); }},
    {"ARCCOS",
     [](long double, long double r) { return atan2l(sqrtl((1.0L + r) * (1.0L - r)), r); }},
    {"ARCTAN", [](long double, long double r) { return atanl(r); }},
    {"^", [](long double l, long double r) { return oraclePower(l, r); }},
    {"LG", [](long double, long double r) { return oracleLg(r); }},
    {"LN", [](long double, long double r) { return logl(r); }},
    {"TR", [](long double, long double r) { return expl(r); }},
    {"SRT", [](long double, long double r) { return sqrtl(r); }},
    {"SINI", [](long double, long double r) { return (expl(r) - expl(-r)) / 2.0L; }},
    {"COSI", [](long double, long double r) { return (expl(r) + expl(-r)) / 2.0L; }},
    // tanh is 1 to the last bit beyond 23; the library's may round below it.
    {"TANI",
     [](long double, long double r) { return r > 23.0L    ? 1.0L
                                             : r < -23.0L ? -1.0L
                                                          : tanhl(r); }},
    {"INT", [](long double, long double r) { return truncl(r); }},
    {"LOG", [](long double, long double r) { return oracleLg(r); }},
    {"ASIN", [](long double, long double r) { return atan2l(r, sqrtl(1.0L - r * r)); }},
    {"ACOS", [](long double, long double r) { return atan2l(sqrtl((1.0L + r) * (1.0L - r)), r); }},
    {"ATAN", [](long double, long double r) { return atanl(r); }},
    {"ABS", [](long double, long double r) { return fabsl(r); }},
}};

// x^n for whole n of magnitude up to 2^31 - 1 by squaring (exact where the
// product is), otherwise e^(n ln x); 0 to any other power is 0.
long double oraclePower(long double base, long double exponent) {
  if (exponent == 0) return 1;
  if (fabsl(exponent) <= 2147483647.0L && truncl(exponent) == exponent) {
    auto n = static_cast<unsigned long>(fabsl(exponent));
    long double product = 1;
    for (long double square = base;; square *= square) {
      if (n % 2 == 1) product *= square;
      n /= 2;
      if (n == 0) break;
    }
    return exponent > 0 ? product : 1 / product;
  }
  if (base == 0) return 0;
  return expl(exponent * logl(base));
}

long double oracleLg(long double x) {
  long double value = 0;
  oracleDecimalLogarithm(x, value);
  return value;
}

// One operation with its own flag test: invalid, divide-by-zero and overflow
// fail. The operands pass through volatile copies so that the operation
// cannot move before the flags are cleared.
bool checkedOp(long double (*op)(long double, long double), long double left, long double right,
               long double& result) {
  std::feclearexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
  volatile long double l = left;
  volatile long double r = right;
  result = op(l, r);
  if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) {
    result = 0;
    return false;
  }
  return true;
}

// The number of a reference such as "Q[12]" starting at pos.
int referenceNumber(const std::string& s, std::size_t pos) {
  int n = 0;
  for (std::size_t i = pos + 2;
       i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && n <= 1000000; ++i) {
    n = n * 10 + (s[i] - '0');
  }
  return n;
}

struct Sample {
  std::array<long double, kMaxConstants + 1> constants{};
  int constCount = 0;
  std::array<long double, kMaxPieces + 1> results{};
  std::array<std::string, kMaxPieces + 1> work;
  long double x = 0;
  long double evalResult = 0;
};

bool isRefStart(char c) {
  return c == 'Q' || c == 'H';
}

// Length of the operand at pos (0 when none) and its value.
std::size_t operandAt(const Sample& st, const std::string& s, std::size_t pos, long double& value) {
  if (pos >= s.size()) return 0;
  if (s[pos] == 'X') {
    value = st.x;
    return 1;
  }
  if (!isRefStart(s[pos])) return 0;
  const std::size_t close = s.find(']', pos);
  if (close == std::string::npos) return 0;
  const int n = referenceNumber(s, pos);
  if (n < 1 || n > kMaxConstants) return 0;
  value = s[pos] == 'Q' ? st.constants[n] : st.results[n];
  return close + 1 - pos;
}

// The left operand of the operator at `at`: "X" or the reference ending there,
// removed with it; anything else leaves the value 0 and removes nothing.
std::size_t leftOperand(const Sample& st, const std::string& s, std::size_t at,
                        long double& value) {
  value = 0;
  if (at == 0) return at;
  if (s[at - 1] == 'X') {
    value = st.x;
    return at - 1;
  }
  if (s[at - 1] == ']') {
    std::size_t q = at - 1;
    while (q > 0 && !isRefStart(s[q])) --q;
    operandAt(st, s, q, value);
    return q;
  }
  return at;
}

// Performs one operation and writes Q[constCount] over [start, end).
bool store(Sample& st, std::string& s, std::size_t start, std::size_t end, bool ok) {
  if (!ok) return false;
  st.constCount = st.constCount + 1;
  if (st.constCount > kMaxConstants) return false;
  st.constants[st.constCount] = st.evalResult;
  s = s.substr(0, start) + "Q[" + std::to_string(st.constCount) + "]" + s.substr(end);
  return true;
}

bool evaluatePieceText(Sample& st, int i) {
  std::string& s = st.work[i];
  if (s.empty()) return false;

  // 1. Functions and powers: the longest name present, earliest in the list.
  for (;;) {
    std::vector<int> present;
    for (int k = 0; k < 20; ++k) {
      if (s.find(kFunctions[k].name) != std::string::npos) present.push_back(k);
    }
    if (present.empty()) break;
    std::stable_sort(present.begin(), present.end(), [](int a, int b) {
      return std::string(kFunctions[a].name).size() > std::string(kFunctions[b].name).size();
    });
    const int k = present.front();
    const std::string name = kFunctions[k].name;
    const std::size_t p = s.find(name);
    long double left = 0;
    std::size_t start = p;
    if (name == "^") {
      if (p == 0) return false;
      start = leftOperand(st, s, p, left);
    }
    long double right = 0;
    const std::size_t len = operandAt(st, s, p + name.size(), right);
    if (len == 0) return false;
    const bool ok = checkedOp(kFunctions[k].apply, left, right, st.evalResult);
    if (!store(st, s, start, p + name.size() + len, ok)) return false;
  }

  // 2. and 3. Products ("/" before any "*"), then sums ("-" before any "+").
  for (int pass = 0; pass < 2; ++pass) {
    const char first = pass == 0 ? '/' : '-';
    const char second = pass == 0 ? '*' : '+';
    for (;;) {
      std::size_t p = s.find(first);
      int op = 2;
      if (p == std::string::npos) {
        p = s.find(second);
        op = 1;
      }
      if (p == std::string::npos) break;
      if (p == 0 && pass == 0) return false;
      long double left = 0;
      const std::size_t start = leftOperand(st, s, p, left);
      long double right = 0;
      const std::size_t len = operandAt(st, s, p + 1, right);
      if (len == 0) return false;
      using Op = long double (*)(long double, long double);
      const Op operate = pass == 0
                             ? (op == 1 ? Op{[](long double l, long double r) { return l * r; }}
                                        : Op{[](long double l, long double r) { return l / r; }})
                             : (op == 1 ? Op{[](long double l, long double r) { return l + r; }}
                                        : Op{[](long double l, long double r) { return l - r; }});
      const bool ok = checkedOp(operate, left, right, st.evalResult);
      if (!store(st, s, start, p + 1 + len, ok)) return false;
    }
  }

  // 4. Exactly one operand must be left.
  long double value = 0;
  const std::size_t len = operandAt(st, s, 0, value);
  if (len == 0 || len != s.size()) return false;
  st.results[i] = value;
  return true;
}

}  // namespace

bool oracleEvaluate(const CompiledFormula& formula, long double x, long double& value) {
  Sample st;
  st.x = x;
  st.constants = formula.constants;
  st.constCount = formula.baseConstCount;
  for (int i = 1; i <= formula.pieceCount; ++i) st.work[i] = formula.pieces[i];
  for (int i = 1; i <= formula.pieceCount; ++i) {
    if (!evaluatePieceText(st, i)) return false;
  }
  if (formula.pieceCount < 1) return false;
  value = st.results[formula.pieceCount];
  return true;
}

bool oracleDecimalLogarithm(long double x, long double& value) {
  std::feclearexcept(FE_ALL_EXCEPT);
  const long double r = log10l(x);
  if (std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW)) {
    value = 0;
    return false;
  }
  value = r;
  if (!(x >= LDBL_MIN) || std::isinf(x)) return true;  // subnormal powers keep log10
  // Candidates around the decimal exponent that printing shows, each compared
  // with the value its literal converts to.
  char printed[64];
  std::snprintf(printed, sizeof printed, "%.3Le", x);
  const int shown = std::atoi(std::strchr(printed, 'e') + 1);
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  for (int k = shown - 1; k <= shown + 1; ++k) {
    if (k < -4931 || k > 4932) continue;
    const std::string literal = "1E" + std::to_string(k);
    if (strtold_l(literal.c_str(), nullptr, cLocale) == x) value = k;
  }
  return true;
}

bool oracleInVocabulary(std::string text) {
  static const std::vector<std::string> lexicon = {
      "SIN",   "COS",   "TAN",  "ARCSIN", "ARCCOS", "ARCTAN", "^",    "LG",   "LN",   "EXP",
      "(",     ")",     "*",    "/",      "+",      "-",      "0",    "1",    "2",    "3",
      "4",     "5",     "6",    "7",      "8",      "9",      "PI",   "E",    ".",    "X",
      "F(X)=", "G(X)=", "[",    "]",      "{",      "}",      "SQRT", "SINH", "COSH", "TANH",
      "INT",   "LOG",   "ASIN", "ACOS",   "ATAN",   "ABS"};
  for (std::size_t length = 6; length >= 1; --length) {
    for (const std::string& entry : lexicon) {
      if (entry.size() != length) continue;
      while (text.find(entry) != std::string::npos) {
        text.replace(text.find(entry), length, std::string(length, '$'));
      }
    }
  }
  return text.find_first_not_of('$') == std::string::npos;
}

std::string oracleReplaceAll(std::string text, const std::string& from, const std::string& to) {
  while (text.find(from) != std::string::npos) {
    const std::size_t at = text.find(from);
    text = text.substr(0, at) + to + text.substr(at + from.size());
  }
  return text;
}

namespace {

// A run of number characters as the number grammar reads it.
bool oracleNumber(const std::string& run, long double& value) {
  if (run == "P") {
    const unsigned char bytes[10] = {0x35, 0xC2, 0x68, 0x21, 0xA2, 0xDA, 0x0F, 0xC9, 0x00, 0x40};
    value = 0;
    std::memcpy(&value, bytes, sizeof bytes);
    return true;
  }
  static const std::regex grammar("([0-9]*(\\.[0-9]*)?)(E(-?[0-9]*))?");
  std::smatch m;
  if (!std::regex_match(run, m, grammar) || m[1].length() == 0) return false;
  const std::string mantissa = m[1];
  if (mantissa.find_first_of("0123456789") == std::string::npos) {
    value = 0;  // a lone point
    return true;
  }
  std::string number = mantissa;
  const std::string exponent = m[4];
  if (exponent.find_first_of("0123456789") != std::string::npos) number += "E" + exponent;
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  value = strtold_l(number.c_str(), nullptr, cLocale);
  return !std::isinf(value);
}

}  // namespace

bool oracleCompile(const std::string& text, std::string& normalized,
                   std::vector<long double>& constants) {
  normalized.clear();
  constants.assign(1, 0.0L);
  if (text.size() < 6) return false;
  std::string s;
  for (char c : text) {
    if (c != ' ') s += c;
  }
  if (s.rfind("F(X)=", 0) != 0 && s.rfind("G(X)=", 0) != 0) return false;
  s = s.substr(5);
  for (char& c : s) {
    if (c == '[' || c == '{') c = '(';
    if (c == ']' || c == '}') c = ')';
  }
  if (std::count(s.begin(), s.end(), '(') != std::count(s.begin(), s.end(), ')')) return false;
  if (!oracleInVocabulary(s)) return false;
  for (const auto& [from, to] :
       std::vector<std::pair<std::string, std::string>>{{"PI", "P"},
                                                        {"EXP", "TR"},
                                                        {"SQRT", "SRT"},
                                                        {"SINH", "SINI"},
                                                        {"COSH", "COSI"},
                                                        {"TANH", "TANI"}}) {
    s = oracleReplaceAll(s, from, to);
  }
  const auto numberChar = [](char c) {
    return (c >= '0' && c <= '9') || c == 'P' || c == 'E' || c == '.';
  };
  std::string run;
  const auto endRun = [&]() {
    if (run.empty()) return true;
    long double value = 0;
    if (constants.size() > kMaxConstants || !oracleNumber(run, value)) return false;
    constants.push_back(value);
    normalized += "Q[" + std::to_string(constants.size() - 1) + "]";
    run.clear();
    return true;
  };
  for (char c : s) {
    if (numberChar(c) || (c == '-' && !run.empty() && run.back() == 'E')) {
      run += c;
      continue;
    }
    if (!endRun()) return false;
    normalized += c;
  }
  return endRun();
}

bool oracleSplit(const std::string& normalized, std::vector<std::string>& pieces) {
  pieces.assign(1, "");
  std::string text;
  int depth = 0;
  int deepest = 0;
  for (char c : normalized) {
    if (c == '(') {
      ++depth;
      deepest = std::max(deepest, depth);
      text += "V[" + std::to_string(depth) + "]";
    } else if (c == ')') {
      if (depth == 0) return false;
      text += "W[" + std::to_string(depth) + "]";
      --depth;
    } else {
      text += c;
    }
  }
  if (depth != 0 || deepest > 9) return false;
  for (int level = deepest; level >= 1; --level) {
    const std::string open = "V[" + std::to_string(level) + "]";
    const std::string close = "W[" + std::to_string(level) + "]";
    while (text.find(open) != std::string::npos) {
      const std::size_t from = text.find(open);
      const std::size_t to = text.find(close);
      if (pieces.size() == kMaxPieces) return false;  // 99 groups taken already
      pieces.push_back(text.substr(from + open.size(), to - from - open.size()));
      text = text.substr(0, from) + "H[" + std::to_string(pieces.size() - 1) + "]" +
             text.substr(to + close.size());
    }
  }
  pieces.push_back(text);
  return true;
}

}  // namespace kurvana::testing
