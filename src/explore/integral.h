// The integral of a Cartesian plot over its x range, from the samples.
#pragma once

#include <string>
#include <string_view>

#include "plot/plot_state.h"

namespace kurvana {

struct Integral {
  long double value = 0;
  std::string label;  // the integral label's text: "= " and integralText
};

// Rectangle rule over W equal parts of the x range with the W samples as
// heights (the samples include both ends).
Integral computeIntegral(const PlotState& state, std::string_view decimalSeparator);

// The label text of a value: the general format, or the sign of an infinity
// when the sum overflowed.
std::string integralText(long double value, std::string_view decimalSeparator);

}  // namespace kurvana
