// libFuzzer target: any bytes as a formula field's text must compile or fail
// cleanly, and evaluation must agree with the text-rewriting oracle; any bytes
// as a range field must parse or fail cleanly.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/formula.h"
#include "engine/text_oracle.h"
#include "plot/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);

  for (const char* separator : {".", ","}) {
    if (const auto value = kurvana::parseLocaleNumber(text, separator)) {
      const auto again =
          kurvana::parseLocaleNumber(kurvana::formatGeneral(*value, separator), separator);
      if (!again) std::abort();  // whatever a field shows must read back
    }
  }

  const std::string field = text.rfind("F(x)=", 0) == 0 ? text : "F(x)=" + text;
  const kurvana::CompileResult compiled = kurvana::compile(field);
  if (!compiled.ok()) return 0;
  const kurvana::Formula& f = compiled.formula;
  const std::vector<long double> xs = {0.0L, 1.0L, -2.5L, 0.5L, 1e5L, -1e-7L};
  std::vector<long double> values(xs.size());
  kurvana::EvalWorkspace ws;
  const std::size_t good = kurvana::evaluateSamples(f, xs, values, ws);
  std::size_t firstFailure = xs.size();
  for (std::size_t i = 0; i < xs.size(); ++i) {
    long double expected = 0;
    const bool ok = kurvana::testing::oracleEvaluate(*f.compiled(), xs[i], expected);
    if (!ok && firstFailure == xs.size()) firstFailure = i;
    if (ok != kurvana::evaluateFormula(f, xs[i], ws)) std::abort();
    if (ok && std::memcmp(&expected, &ws.evalResult, 10) != 0) std::abort();
    if (ok && i < good && std::memcmp(&expected, &values[i], 10) != 0) std::abort();
  }
  if (good != firstFailure) std::abort();
  return 0;
}
