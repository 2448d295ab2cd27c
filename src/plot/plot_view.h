// The window as the plot core sees it: the Qt main window, kurvana-cli and the
// test fake implement it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plot/fields.h"
#include "plot/plot_state.h"
#include "plot/range_fields.h"

namespace kurvana {

class PlotView {
 public:
  virtual ~PlotView() = default;

  virtual std::string fieldText(Field field) const = 0;
  virtual void setFieldText(Field field, std::string_view text) = 0;
  virtual void setFieldEnabled(Field field, bool enabled) = 0;

  // The font colour of a formula field (0x00BBGGRR) and the keyboard focus.
  virtual void setFieldColor(Field field, std::uint32_t color) = 0;
  virtual void focusField(Field field) = 0;

  virtual void setLabel(Label label, std::string_view text) = 0;

  // The picture of a toggle button and the colour picker's swatch.
  virtual void showToggle(Toggle toggle, bool on) = 0;
  virtual void showCurveColor(std::uint32_t color) = 0;

  // The main window's client size, from which the plot image is sized.
  virtual Size windowSize() const = 0;
  // Places the plot image; the window centres the file-name label over it.
  virtual void placeImage(int left, int top, int width, int height) = 0;

  // The platform's default beep, and the three-line message window.
  virtual void beep() = 0;
  virtual void showMessage(std::string_view line1, std::string_view line2,
                           std::string_view line3) = 0;
};

// The range-field results applied to a view, for the callers that still hand
// the core a view; the parsing itself lives in range_fields.h.
inline void applyFieldEdits(PlotView& view, const FieldEdits& edits) {
  for (const FieldEdit& edit : edits) view.setFieldText(edit.field, edit.text);
}

inline void readRangeFields(PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  FieldTexts texts;
  for (std::size_t i = 0; i < kFieldCount; ++i) texts[i] = view.fieldText(static_cast<Field>(i));
  const RangeReading reading = readRangeFields(texts, rangesOf(state), decimalSeparator);
  setRanges(state, reading.ranges);
  applyFieldEdits(view, reading.rewrites);
}

inline void writeXRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  applyFieldEdits(view, writeXRange(state, decimalSeparator));
}

inline void writeYRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  applyFieldEdits(view, writeYRange(state, decimalSeparator));
}

inline void doauto(const PlotState& state, PlotView& view) {
  for (const FieldEnabling& f : doauto(state)) view.setFieldEnabled(f.field, f.enabled);
}

}  // namespace kurvana
