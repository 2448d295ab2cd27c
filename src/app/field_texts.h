// Reading the window's fields into values and applying the core's answers.
#pragma once

#include <array>
#include <cstddef>

#include "plot/fields.h"
#include "plot/plot_view.h"
#include "plot/range_fields.h"

namespace kurvana {

inline FieldTexts readFieldTexts(const PlotView& view) {
  FieldTexts texts;
  for (std::size_t i = 0; i < kFieldCount; ++i) texts[i] = view.fieldText(static_cast<Field>(i));
  return texts;
}

inline void applyFieldEnabling(PlotView& view, const std::array<FieldEnabling, 4>& enabling) {
  for (const FieldEnabling& f : enabling) view.setFieldEnabled(f.field, f.enabled);
}

// Parses the range fields into the state and reverts the unreadable ones.
inline RangeReading readRanges(PlotState& state, PlotView& view, const FieldTexts& texts,
                               std::string_view decimalSeparator) {
  RangeReading reading = readRangeFields(texts, rangesOf(state), decimalSeparator);
  setRanges(state, reading.ranges);
  applyFieldEdits(view, reading.rewrites);
  return reading;
}

}  // namespace kurvana
