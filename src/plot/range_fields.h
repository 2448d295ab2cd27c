// The range fields of the main window: parsing their texts into ranges, the texts
// that show ranges, aligning x = 0 with a sample column, and which fields
// automatic scale takes over. Values in, values out: the caller reads and
// writes the window.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/fields.h"
#include "plot/plot_state.h"

namespace kurvana {

// A field whose text is to be replaced.
struct FieldEdit {
  Field field;
  std::string text;
  bool operator==(const FieldEdit&) const = default;
};
// In the order they are to be made; a field may come twice, the last text wins.
using FieldEdits = std::vector<FieldEdit>;

struct FieldEnabling {
  Field field;
  bool enabled;
  bool operator==(const FieldEnabling&) const = default;
};

// The values the range fields edit.
using Ranges = PlotRanges;

Ranges rangesOf(const PlotState& state);
void setRanges(PlotState& state, const Ranges& ranges);

struct RangeReading {
  Ranges ranges;
  std::string sourceF;  // the F formula field's text, upper-cased
  std::string sourceG;  // the G formula field's text, upper-cased
  FieldEdits rewrites;  // reverted fields
};

// Parses x min, x max, y min, y max, the F formula, z min, z max, Z and the G
// formula, in that order. An unreadable number keeps its value from `current`
// and the field is to be rewritten with it, so bad entries revert silently. Z
// outside 10..2000 becomes 1000. No ordering between the bounds is enforced here.
RangeReading readRangeFields(const FieldTexts& texts, const Ranges& current,
                             std::string_view decimalSeparator);

// The texts of the xMin/xMax (yMin/yMax) fields in the general number format.
FieldEdits writeXRange(const PlotState& state, std::string_view decimalSeparator);
FieldEdits writeYRange(const PlotState& state, std::string_view decimalSeparator);

struct ZeroAlignment {
  long double xMin = 0;
  long double xMax = 0;
  FieldEdits texts;  // the x range fields showing the new range
};

// When x = 0 lies strictly inside the x range, the range slid by less than one
// sample step so that the Cartesian sample nearest to 0 falls exactly on 0,
// keeping the step. Nothing when a sample already hits 0, when plotWidth < 2,
// and when the step overflows.
std::optional<ZeroAlignment> alignZeroColumn(const PlotState& state,
                                             std::string_view decimalSeparator);

// The x and y range fields are enabled unless automatic scale owns them: y
// always with automatic scale, x too in two-function mode. The z fields stay
// enabled. In the order x min, x max, y min, y max.
std::array<FieldEnabling, 4> doauto(const PlotState& state);

}  // namespace kurvana
