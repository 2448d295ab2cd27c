// Reading the window's fields into values and applying the core's answers.
#pragma once

#include <array>
#include <cstddef>

#include "app/app_view.h"
#include "plot/fields.h"
#include "plot/range_fields.h"

namespace kurvana {

// Every field's text, read once.
inline FieldTexts readFieldTexts(const AppView& view) {
  FieldTexts texts;
  for (std::size_t i = 0; i < kFieldCount; ++i) texts[i] = view.fieldText(static_cast<Field>(i));
  return texts;
}

// The core's field edits, shown.
inline void applyFieldEdits(AppView& view, const FieldEdits& edits) {
  for (const FieldEdit& edit : edits) view.setFieldText(edit.field, edit.text);
}

inline void writeXRange(const PlotState& state, AppView& view, std::string_view decimalSeparator) {
  applyFieldEdits(view, writeXRange(state, decimalSeparator));
}

inline void writeYRange(const PlotState& state, AppView& view, std::string_view decimalSeparator) {
  applyFieldEdits(view, writeYRange(state, decimalSeparator));
}

inline void doauto(const PlotState& state, AppView& view) {
  for (const FieldEnabling& f : doauto(state)) view.setFieldEnabled(f.field, f.enabled);
}

inline void applyFieldEnabling(AppView& view, const std::array<FieldEnabling, 4>& enabling) {
  for (const FieldEnabling& f : enabling) view.setFieldEnabled(f.field, f.enabled);
}

// Parses the range fields into the state and reverts the unreadable ones.
inline RangeReading readRanges(PlotState& state, AppView& view, const FieldTexts& texts,
                               std::string_view decimalSeparator) {
  RangeReading reading = readRangeFields(texts, rangesOf(state), decimalSeparator);
  setRanges(state, reading.ranges);
  applyFieldEdits(view, reading.rewrites);
  return reading;
}

// The same from the fields as they are now.
inline void readRangeFields(PlotState& state, AppView& view, std::string_view decimalSeparator) {
  (void)readRanges(state, view, readFieldTexts(view), decimalSeparator);
}

}  // namespace kurvana
