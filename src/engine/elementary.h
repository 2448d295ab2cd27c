// Elementary operations of the formula language in extended precision.
//
// The raw forms compute a value and leave failures to the IEEE flags: an
// operation fails exactly when it raises invalid, divide-by-zero or overflow.
// The replay tests the flags once per sample; the checked forms test them per
// operation.
#pragma once

#include <cfenv>
#include <cmath>

#include "engine/formula.h"

namespace kurvana {

inline constexpr int kFailFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

inline void clearFailFlags() { std::feclearexcept(kFailFlags); }
inline bool failFlagsRaised() { return std::fetestexcept(kFailFlags) != 0; }

// Whole exponents up to this magnitude go through repeated squaring.
inline constexpr long double kMaxIntExponent = 2147483647.0L;

// base^n for n >= 1 by repeated squaring, squaring only while bits remain so
// that no unneeded square can overflow.
inline long double powerBySquaring(long double base, unsigned long n) {
  long double result = 1.0L;
  for (;;) {
    if (n & 1u) result *= base;
    n >>= 1;
    if (n == 0) return result;
    base *= base;
  }
}

inline long double power(long double base, long double exponent) {
  if (exponent == 0.0L) return 1.0L;
  if (std::trunc(exponent) == exponent && std::fabs(exponent) <= kMaxIntExponent) {
    if (exponent > 0.0L) return powerBySquaring(base, static_cast<unsigned long>(exponent));
    return 1.0L / powerBySquaring(base, static_cast<unsigned long>(-exponent));
  }
  if (base == 0.0L) return 0.0L;
  return std::exp(exponent * std::log(base));  // a negative base fails in the logarithm
}

// Hyperbolic functions as sums of exponentials: they overflow where e^|x| does.
inline long double hyperbolicSine(long double x) {
  if (x == 0.0L) return 0.0L;
  return (std::exp(x) - std::exp(-x)) / 2.0L;
}
inline long double hyperbolicCosine(long double x) {
  if (x == 0.0L) return 1.0L;
  return (std::exp(x) + std::exp(-x)) / 2.0L;
}
inline long double hyperbolicTangent(long double x) {
  if (x > 23.0L) return 1.0L;
  if (x < -23.0L) return -1.0L;
  return std::tanh(x);
}

inline long double arcsine(long double x) { return std::atan2(x, std::sqrt(1.0L - x * x)); }
inline long double arccosine(long double x) {
  return std::atan2(std::sqrt((1.0L + x) * (1.0L - x)), x);
}

// One operation; functions use only `right`.
inline long double applyOp(OpCode code, long double left, long double right) {
  switch (code) {
    case OpCode::kSin: return std::sin(right);
    case OpCode::kCos: return std::cos(right);
    case OpCode::kTan: return std::tan(right);
    case OpCode::kArcsin: return arcsine(right);
    case OpCode::kArccos: return arccosine(right);
    case OpCode::kArctan: return std::atan(right);
    case OpCode::kPower: return power(left, right);
    case OpCode::kLg: return std::log10(right);
    case OpCode::kLn: return std::log(right);
    case OpCode::kExp: return std::exp(right);
    case OpCode::kSqrt: return std::sqrt(right);
    case OpCode::kSinh: return hyperbolicSine(right);
    case OpCode::kCosh: return hyperbolicCosine(right);
    case OpCode::kTanh: return hyperbolicTangent(right);
    case OpCode::kInt: return std::trunc(right);
    case OpCode::kAbs: return std::fabs(right);
    case OpCode::kMultiply: return left * right;
    case OpCode::kDivide: return left / right;
    case OpCode::kAdd: return left + right;
    case OpCode::kSubtract: return left - right;
  }
  return 0.0L;
}

// The operation of a function-list position (1 SIN ... 7 ^ ... 20 ABS).
OpCode functionOp(int position);

// Checked operations: the value goes to `result` (0 on failure) and the result
// says whether the operation succeeded. `position` is the function-list
// position; `op` is 1 for "*" or "+" and 2 for "/" or "-".
bool applyFunction(int position, long double left, long double right, long double& result);
bool applyProduct(int op, long double left, long double right, long double& result);
bool applySum(int op, long double left, long double right, long double& result);

}  // namespace kurvana
