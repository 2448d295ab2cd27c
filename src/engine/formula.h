// Formula engine: compiles a formula field's text once into an immutable formula
// and evaluates it at one argument or at many.
#pragma once

#include <cstddef>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kurvana {

// All formula arithmetic, ranges and samples are x87 double-extended.
static_assert(std::numeric_limits<long double>::digits == 64 &&
                  std::numeric_limits<long double>::max_exponent == 16384 &&
                  std::numeric_limits<long double>::is_iec559,
              "long double must be the 80-bit x87 extended format");

// The compiler's record (engine/compiler_internal.h).
struct CompiledFormula;

// Why a text does not compile; the window reports the two differently.
enum class CompileError {
  kSyntax,     // lexical pass: no label, unknown word, unpaired brackets, bad number
  kStructure,  // structure pass: brackets misplaced or nested too deep, too many groups
};

// A compiled formula. It cannot change once compiled, so copies share it and any
// number of callers may evaluate it, each with its own EvalWorkspace. A default
// one holds no formula and every evaluation of it fails.
class Formula {
 public:
  Formula() = default;

  bool empty() const { return compiled_ == nullptr; }
  // For the engine and its tests; null when empty.
  const CompiledFormula* compiled() const { return compiled_.get(); }

 private:
  friend struct FormulaAccess;
  explicit Formula(std::shared_ptr<const CompiledFormula> compiled)
      : compiled_(std::move(compiled)) {}

  std::shared_ptr<const CompiledFormula> compiled_;
};

struct CompileResult {
  Formula formula;                    // empty unless the text compiled
  std::optional<CompileError> error;  // set when it did not
  bool ok() const { return !error.has_value(); }
};

// The field text as the compiler receives it: the letters a..z upper-cased,
// every other byte unchanged.
std::string upperCaseFormula(std::string_view fieldText);

// Both compiler passes on a formula field's text, label included; the text is
// upper-cased first (upper-cased text compiles the same).
CompileResult compile(std::string_view fieldText);

// Per-caller scratch of the evaluator: one column of kBlock samples per slot,
// allocated on first use.
struct EvalWorkspace {
  static constexpr int kBlock = 64;
  std::vector<long double> columns;
  long double evalResult = 0;  // the formula's value after a successful evaluation
};

// Value of the formula at x in ws.evalResult; false when any operation of the
// reduction is invalid, divides by zero or overflows, or the text cannot be
// reduced. Invalid, divide-by-zero and overflow flags are cleared on entry.
bool evaluateFormula(const Formula& formula, long double x, EvalWorkspace& ws);

// Evaluates the formula at every argument, as many samples as both spans
// hold, and returns how many leading samples succeeded: the index of the first
// failing sample, or the count when all succeeded. Values past a failure are
// left alone. Gives the same bits as evaluateFormula at each argument.
std::size_t evaluateSamples(const Formula& formula, std::span<const long double> xs,
                            std::span<long double> values, EvalWorkspace& ws);

}  // namespace kurvana
