// The program-wide records, created once by main and passed by reference, so
// that tests can build fresh ones.
#pragma once

#include <string>

#include "plot/number_format.h"
#include "plot/plot_state.h"

namespace kurvana {

struct Application {
  PlotState plot;
  // The user's decimal separator for range fields and labels, read once from
  // the environment's LC_NUMERIC; formulas always use the point.
  std::string decimalSeparator = userDecimalSeparator();
};

}  // namespace kurvana
