// Checked elementary operations: one operation with its own flag test.
#include "engine/elementary.h"

#include <array>

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
