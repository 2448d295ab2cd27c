#include "explore/integral.h"

#include <cmath>
#include <string>

#include "plot/number_format.h"

namespace kurvana {

std::string integralText(long double value, std::string_view decimalSeparator) {
  // The general format has no spelling for these; "0" would be a wrong answer.
  if (std::isnan(value)) return "?";
  if (std::isinf(value)) return value > 0 ? "\u221E" : "-\u221E";
  return formatGeneral(value, decimalSeparator);
}

Integral computeIntegral(const PlotState& state, std::string_view decimalSeparator) {
  const int w = state.plotWidth;
  long double s = 0;
  for (int i = 0; i < w; ++i) {
    s = s + (state.xMax - state.xMin) * state.samplesA[static_cast<std::size_t>(i)] / w;
  }
  return Integral{s, "= " + integralText(s, decimalSeparator)};
}

}  // namespace kurvana
