#include "cli/eval_command.h"

#include <locale.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/usage.h"
#include "engine/formula.h"
#include "plot/number_format.h"

namespace kurvana::cli {
namespace {

// An argument in C syntax, read with the point whatever the user's locale.
std::optional<long double> parseArgument(std::string_view text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  const std::string s(text);
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  const long double value = strtold_l(s.c_str(), &end, cLocale);
  if (end != s.c_str() + s.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::string formatExact(long double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.21Lg", value);
  return buffer;
}

}  // namespace

int runEval(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  bool general = false;
  std::size_t next = 0;
  if (next < args.size() && args[next] == "--general") general = true, ++next;
  if (next >= args.size() || args[next].starts_with("--")) return usageError(err);
  const std::string_view formulaText = args[next++];

  std::vector<long double> xs;
  for (; next < args.size(); ++next) {
    const auto x = parseArgument(args[next]);
    if (!x) return usageError(err, "not a number: " + std::string(args[next]));
    xs.push_back(*x);
  }

  CompiledFormula formula;
  if (!compileFormula(upperCaseFormula(formulaText), formula)) {
    out << "error: syntax\n";
    return 1;
  }
  if (!splitPieces(formula)) {
    out << "error: brackets\n";
    return 1;
  }

  const std::string separator = general ? userDecimalSeparator() : ".";
  EvalWorkspace ws;
  int status = 0;
  for (long double x : xs) {
    if (!evaluateFormula(formula, x, ws)) {
      out << "error: evaluation\n";
      status = 1;
      continue;
    }
    out << (general ? formatGeneral(ws.evalResult, separator) : formatExact(ws.evalResult)) << '\n';
  }
  return status;
}

}  // namespace kurvana::cli
