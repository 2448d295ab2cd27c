#include "cli/eval_command.h"

#include <locale.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "cli/usage.h"
#include "engine/formula.h"
#include "plot/number_format.h"

namespace kurvana::cli {
namespace {

// An argument in C syntax, read with the point whatever the user's locale:
// its value, or what is wrong with it. Numbers beyond the extended range are
// out of range; those too small for it are 0, as in formulas.
std::variant<long double, std::string> parseArgument(std::string_view text) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
  const std::string s(text);
  char* end = nullptr;
  errno = 0;
  const long double value = s.empty() ? 0.0L : strtold_l(s.c_str(), &end, cLocale);
  if (s.empty() || end != s.c_str() + s.size()) return "not a number: " + s;
  if (std::isinf(value) && errno == ERANGE) return "out of range: " + s;
  if (!std::isfinite(value)) return "not a number: " + s;  // inf, nan
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
  if (next >= args.size()) return usageError(err, "missing FORMULA");
  if (args[next].starts_with("--")) {
    return usageError(err, "unknown option: " + std::string(args[next]));
  }
  const std::string_view formulaText = args[next++];

  std::vector<long double> xs;
  for (; next < args.size(); ++next) {
    const auto x = parseArgument(args[next]);
    if (const auto* problem = std::get_if<std::string>(&x)) return usageError(err, *problem);
    xs.push_back(std::get<long double>(x));
  }

  const CompileResult compiled = compile(formulaText);
  if (!compiled.ok()) {
    out << (compiled.error == CompileError::kSyntax ? "error: syntax\n" : "error: brackets\n");
    return 1;
  }
  const Formula& formula = compiled.formula;

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
