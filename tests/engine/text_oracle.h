// Reference evaluator for tests and benchmarks: reduces the pieces of a
// compiled formula as text for every sample, with real values in the constant
// table, word for word as the formula language defines evaluation. Beside it,
// the compiler's two passes in the same literal form.
#pragma once

#include <string>
#include <vector>

#include "engine/compiler_internal.h"

namespace kurvana::testing {

// The value of `formula` at x, or false when the evaluation fails. Restores the
// working copies and the constant count before it starts, as the Draw command
// does after every sample, so each call is one independent sample.
bool oracleEvaluate(const CompiledFormula& formula, long double x, long double& value);

// The base-10 logarithm as the formula language defines it: the whole k for
// the extended value nearest to 10^k (-4931 <= k <= 4932), otherwise log10.
// False when the logarithm is invalid or divides by zero.
bool oracleDecimalLogarithm(long double x, long double& value);

// The compiler's rewriting steps word for word: every search starts again at
// the beginning of the text after each replacement.

// Masks the lexicon entries, longest first; true when nothing is left unmasked.
bool oracleInVocabulary(std::string text);

// Replaces the first occurrence of `from` by `to` until none is left.
std::string oracleReplaceAll(std::string text, const std::string& from, const std::string& to);

// The lexical pass on upper-cased field text: normalized text and constants
// (1-based, [0] unused), or false.
bool oracleCompile(const std::string& text, std::string& normalized,
                   std::vector<long double>& constants);

// The structure pass on normalized text: the pieces, innermost first, or false.
bool oracleSplit(const std::string& normalized, std::vector<std::string>& pieces);

}  // namespace kurvana::testing
