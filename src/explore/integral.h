// The integral of a Cartesian plot over its x range, from the samples.
#pragma once

#include <string_view>

#include "plot/plot_state.h"
#include "plot/plot_view.h"

namespace kurvana {

// Rectangle rule over W equal parts of the x range with the W samples as
// heights (the samples include both ends); sets integralValue and the
// integral label.
void computeIntegral(PlotState& state, PlotView& view, std::string_view decimalSeparator);

// The label text of a value: the general format, or the sign of an infinity
// when the sum overflowed.
std::string integralText(long double value, std::string_view decimalSeparator);

}  // namespace kurvana
