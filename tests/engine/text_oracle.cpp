#include "engine/text_oracle.h"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/elementary.h"

namespace kurvana::testing {
namespace {

constexpr std::array<const char*, 20> kNames = {
    "SIN", "COS",  "TAN",  "ARCSIN", "ARCCOS", "ARCTAN", "^",    "LG",   "LN",   "TR",
    "SRT", "SINI", "COSI", "TANI",   "INT",    "LOG",    "ASIN", "ACOS", "ATAN", "ABS"};

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
  const int n = referenceNumberAt(s, pos);
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
      if (s.find(kNames[k]) != std::string::npos) present.push_back(k);
    }
    if (present.empty()) break;
    std::stable_sort(present.begin(), present.end(), [](int a, int b) {
      return std::string(kNames[a]).size() > std::string(kNames[b]).size();
    });
    const int k = present.front();
    const std::string name = kNames[k];
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
    const bool ok = applyFunction(k + 1, left, right, st.evalResult);
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
      const bool ok = pass == 0 ? applyProduct(op, left, right, st.evalResult)
                                : applySum(op, left, right, st.evalResult);
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

}  // namespace kurvana::testing
