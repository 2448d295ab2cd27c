// Internal to the engine: records the reduction of a structured formula.
#pragma once

#include "engine/compiler_internal.h"

namespace kurvana {

// Reduces every piece of `formula` as text once, recording each elementary
// operation into formula.program. The order of operations, the operands and
// every textual failure follow from the text alone, never from the argument.
void recordReduction(CompiledFormula& formula);

}  // namespace kurvana
