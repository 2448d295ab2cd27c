// Reference evaluator for tests and benchmarks: reduces the pieces of a
// compiled formula as text for every sample, with real values in the constant
// table, word for word as the formula language defines evaluation.
#pragma once

#include "engine/formula.h"

namespace kurvana::testing {

// The value of `formula` at x, or false when the evaluation fails. Restores the
// working copies and the constant count before it starts, as the Draw command
// does after every sample, so each call is one independent sample.
bool oracleEvaluate(const CompiledFormula& formula, long double x, long double& value);

}  // namespace kurvana::testing
