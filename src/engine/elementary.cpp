// Checked elementary operations: one operation with its own flag test.
#include "engine/elementary.h"

#include <locale.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace kurvana {
namespace {

constexpr std::array<OpCode, 20> kFunctionOps = {
    OpCode::kSin,    OpCode::kCos,    OpCode::kTan,    OpCode::kArcsin, OpCode::kArccos,
    OpCode::kArctan, OpCode::kPower,  OpCode::kLg,     OpCode::kLn,     OpCode::kExp,
    OpCode::kSqrt,   OpCode::kSinh,   OpCode::kCosh,   OpCode::kTanh,   OpCode::kInt,
    OpCode::kLg,     OpCode::kArcsin, OpCode::kArccos, OpCode::kArctan, OpCode::kAbs};

bool checked(OpCode code, long double left, long double right, long double& result) {
  clearFailFlags();
  result = applyOp(code, left, right);
  if (failFlagsRaised()) {
    result = 0.0L;
    return false;
  }
  return true;
}

}  // namespace

bool isNearestPowerOfTen(long double x, int k) {
  // The power that the last call converted: a plot of LG over a constant asks
  // for the same one at every sample.
  thread_local int cachedK = 0;
  thread_local long double cachedPower = 1.0L;
  if (k != cachedK) {
    std::fexcept_t flags;
    std::fegetexceptflag(&flags, FE_ALL_EXCEPT);
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    char literal[16];
    std::snprintf(literal, sizeof literal, "1E%d", k);
    // Correctly rounded, as the formula's own literals are.
    cachedPower = strtold_l(literal, nullptr, cLocale);
    cachedK = k;
    std::fesetexceptflag(&flags, FE_ALL_EXCEPT);
  }
  return x == cachedPower;
}

OpCode functionOp(int position) {
  return kFunctionOps.at(position - 1);
}

bool applyFunction(int position, long double left, long double right, long double& result) {
  return checked(functionOp(position), left, right, result);
}

bool applyProduct(int op, long double left, long double right, long double& result) {
  return checked(op == 1 ? OpCode::kMultiply : OpCode::kDivide, left, right, result);
}

bool applySum(int op, long double left, long double right, long double& result) {
  return checked(op == 1 ? OpCode::kAdd : OpCode::kSubtract, left, right, result);
}

}  // namespace kurvana
