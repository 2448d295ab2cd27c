// Elementary operations of the formula language in extended precision.
//
// The raw forms compute a value and leave failures to the IEEE flags: an
// operation fails exactly when it raises invalid, divide-by-zero or overflow.
// The replay tests the flags once per sample; the checked forms test them per
// operation.
#pragma once

#include <cfenv>
#include <cmath>
#include <cstring>

#include "engine/compiler_internal.h"

namespace kurvana {

inline constexpr int kFailFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW;

#if defined(__x86_64__)
// The library's feclearexcept saves and reloads the whole x87 environment,
// which costs more than a short formula. The x87 status word and MXCSR hold
// the flags in the same bit positions as FE_*; each is cleared only when set.
inline void clearFailFlags() {
  unsigned short status;
  __asm__ volatile("fnstsw %0" : "=am"(status)::"memory");
  if (status & kFailFlags) __asm__ volatile("fnclex" ::: "memory");
  unsigned int mxcsr;
  __asm__ volatile("stmxcsr %0" : "=m"(mxcsr)::"memory");
  if (mxcsr & kFailFlags) {
    mxcsr &= ~static_cast<unsigned int>(kFailFlags);
    __asm__ volatile("ldmxcsr %0" ::"m"(mxcsr) : "memory");
  }
}
inline bool failFlagsRaised() {
  unsigned short status;
  unsigned int mxcsr;
  __asm__ volatile("fnstsw %0" : "=am"(status)::"memory");
  __asm__ volatile("stmxcsr %0" : "=m"(mxcsr)::"memory");
  return ((status | mxcsr) & kFailFlags) != 0;
}
#else
inline void clearFailFlags() {
  std::feclearexcept(kFailFlags);
}
inline bool failFlagsRaised() {
  return std::fetestexcept(kFailFlags) != 0;
}
#endif

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

// True when e is a whole number of magnitude at most kMaxIntExponent; n is
// then its magnitude. Adding 2^63 rounds to an integer in the significand,
// which avoids the x87 control-word switch of a truncating conversion.
inline bool wholeExponent(long double e, unsigned long& n) {
  const long double magnitude = std::fabs(e);
  if (!(magnitude <= kMaxIntExponent)) return false;
  constexpr long double kShift = 9223372036854775808.0L;  // 2^63
  const long double shifted = magnitude + kShift;
  if (shifted - kShift != magnitude) return false;
  unsigned long long significand;
  std::memcpy(&significand, &shifted, sizeof significand);
  n = static_cast<unsigned long>(significand & ~(1ull << 63));
  return true;
}

inline long double power(long double base, long double exponent) {
  if (exponent == 0.0L) return 1.0L;
  if (unsigned long n; wholeExponent(exponent, n)) {
    if (exponent > 0.0L) return powerBySquaring(base, n);
    return 1.0L / powerBySquaring(base, n);
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

// The extended values nearest to 10^k, for the k whose power is a normal
// number (-4931 <= k <= 4932), are the values that the literals 1E-4931 ...
// 1E4932 compile to. For them the base-10 logarithm is k: |x - 10^k| <= 2^-64 x,
// so log10 x lies within 2.4e-20 of k, less than half a unit in the last
// place of any whole k other than 0 (where x is 1 itself), which makes k the
// correctly rounded logarithm. The library may be a unit off there (LG(1E100)
// would be 100 plus a unit, and (0-2)^LG(1E100) would fail).
inline constexpr int kMinDecimalExponent = -4931;
inline constexpr int kMaxDecimalExponent = 4932;

// True when x is the extended value nearest to 10^k; k must lie within the
// exponents above. Leaves the exception flags as they were.
bool isNearestPowerOfTen(long double x, int k);

// Logarithms this far from a whole number are never those of a power of ten:
// the library's error is a few units in the last place (2^-51 at 4932).
inline constexpr long double kPowerOfTenLogSlack = 0x1p-40L;

// Base-10 logarithm: k for the nearest value to 10^k, otherwise the library's.
inline long double decimalLogarithm(long double x) {
  const long double r = std::log10(x);
  if (!std::isnormal(x) || std::signbit(x)) return r;
  // r rounded to a whole number: above 2^63 the extended format holds whole
  // numbers only. The library's nearbyint saves and restores the x87
  // environment, which costs about as much as the logarithm itself.
  constexpr long double kShift = 0x3p62L;
  const long double k = (r + kShift) - kShift;
  if (!(std::fabs(r - k) <= kPowerOfTenLogSlack) || k < kMinDecimalExponent ||
      k > kMaxDecimalExponent) {
    return r;
  }
  return isNearestPowerOfTen(x, static_cast<int>(k)) ? k : r;
}

inline long double arcsine(long double x) {
  return std::atan2(x, std::sqrt(1.0L - x * x));
}
inline long double arccosine(long double x) {
  return std::atan2(std::sqrt((1.0L + x) * (1.0L - x)), x);
}

// One operation; functions use only `right`. Always inlined: a call would pass
// the operands through the stack as two 8-byte halves and stall every
// 10-byte reload.
[[gnu::always_inline]] inline long double applyOp(OpCode code, long double left,
                                                  long double right) {
  switch (code) {
    case OpCode::kSin:
      return std::sin(right);
    case OpCode::kCos:
      return std::cos(right);
    case OpCode::kTan:
      return std::tan(right);
    case OpCode::kArcsin:
      return arcsine(right);
    case OpCode::kArccos:
      return arccosine(right);
    case OpCode::kArctan:
      return std::atan(right);
    case OpCode::kPower:
      return power(left, right);
    case OpCode::kLg:
      return decimalLogarithm(right);
    case OpCode::kLn:
      return std::log(right);
    case OpCode::kExp:
      return std::exp(right);
    case OpCode::kSqrt:
      return std::sqrt(right);
    case OpCode::kSinh:
      return hyperbolicSine(right);
    case OpCode::kCosh:
      return hyperbolicCosine(right);
    case OpCode::kTanh:
      return hyperbolicTangent(right);
    case OpCode::kInt:
      return std::trunc(right);
    case OpCode::kAbs:
      return std::fabs(right);
    case OpCode::kMultiply:
      return left * right;
    case OpCode::kDivide:
      return left / right;
    case OpCode::kAdd:
      return left + right;
    case OpCode::kSubtract:
      return left - right;
    case OpCode::kPowerWhole:
    case OpCode::kPowerWholeInv:
    case OpCode::kSinCos:
      break;  // need their aux operand: handled by the replay
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
