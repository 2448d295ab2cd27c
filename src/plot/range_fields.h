// The range fields of the main window: reading them into the plot state, writing ranges back,
// aligning x = 0 with a sample column, and which fields automatic scale takes over.
#pragma once

#include <string_view>

#include "plot/plot_state.h"
#include "plot/plot_view.h"

namespace kurvana {

// Reads x min, x max, y min, y max, the F formula, z min, z max, Z and the G formula,
// in that order. An unreadable number keeps the state's value and the field is
// rewritten with it, so bad entries revert silently. The formula texts are stored
// upper-cased as formulaF.source and formulaG.source. Z outside 10..2000 becomes
// 1000. No ordering between the bounds is enforced here.
void readRangeFields(PlotState& state, PlotView& view, std::string_view decimalSeparator);

// Writes xMin/xMax (yMin/yMax) into their fields in the general number format.
void writeXRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator);
void writeYRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator);

// When x = 0 lies strictly inside the x range, slides the range by less than one
// sample step so that the Cartesian sample nearest to 0 falls exactly on 0, keeping
// the step, and writes the range back. Leaves everything alone when a sample
// already hits 0, when plotWidth < 2, and when the step overflows.
void alignZeroColumn(PlotState& state, PlotView& view, std::string_view decimalSeparator);

// Enables the x and y range fields unless automatic scale owns them: y always
// with automatic scale, x too in two-function mode. The z fields stay enabled.
void doauto(const PlotState& state, PlotView& view);

}  // namespace kurvana
