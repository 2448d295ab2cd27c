#include "plot/range_fields.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "plot/number_format.h"

namespace kurvana {
namespace {

constexpr std::int32_t kMinZCount = 10;
constexpr std::int32_t kMaxZCount = 2000;
constexpr std::int32_t kDefaultZCount = 1000;

void readReal(PlotView& view, Field field, long double& target, std::string_view separator) {
  if (const auto value = parseLocaleNumber(view.fieldText(field), separator)) {
    target = *value;
  } else {
    view.setFieldText(field, formatGeneral(target, separator));
  }
}

}  // namespace

void readRangeFields(PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  readReal(view, Field::kXMin, state.xMin, decimalSeparator);
  readReal(view, Field::kXMax, state.xMax, decimalSeparator);
  readReal(view, Field::kYMin, state.yMin, decimalSeparator);
  readReal(view, Field::kYMax, state.yMax, decimalSeparator);
  state.formulaF.source = upperCaseFormula(view.fieldText(Field::kFormulaF));
  readReal(view, Field::kZMin, state.zMin, decimalSeparator);
  readReal(view, Field::kZMax, state.zMax, decimalSeparator);

  if (const auto count = parseInteger(view.fieldText(Field::kZCount))) {
    state.zCount = *count;
  } else {
    view.setFieldText(Field::kZCount, std::to_string(state.zCount));
  }
  if (state.zCount < kMinZCount || state.zCount > kMaxZCount) {
    state.zCount = kDefaultZCount;
    view.setFieldText(Field::kZCount, std::to_string(kDefaultZCount));
  }

  state.formulaG.source = upperCaseFormula(view.fieldText(Field::kFormulaG));
}

void writeXRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  view.setFieldText(Field::kXMin, formatGeneral(state.xMin, decimalSeparator));
  view.setFieldText(Field::kXMax, formatGeneral(state.xMax, decimalSeparator));
}

void writeYRange(const PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  view.setFieldText(Field::kYMin, formatGeneral(state.yMin, decimalSeparator));
  view.setFieldText(Field::kYMax, formatGeneral(state.yMax, decimalSeparator));
}

void alignZeroColumn(PlotState& state, PlotView& view, std::string_view decimalSeparator) {
  if (!(state.xMin < 0 && state.xMax > 0)) return;
  const std::int32_t width = state.plotWidth;
  if (width < 2) return;
  // A range whose width overflows cannot be sampled; the Draw command reports it.
  const long double step = (state.xMax - state.xMin) / static_cast<long double>(width - 1);
  if (!std::isfinite(step)) return;

  // The columns are computed exactly as the sampler computes them, so the chosen
  // column's x really is the one that lands on 0. The first of equal candidates wins.
  long double smallest = 1E100L;
  std::int32_t nearest = -1;
  for (std::int32_t i = 0; i < width; ++i) {
    const long double x = static_cast<long double>(i) * step + state.xMin;
    if (x == 0) return;
    if (std::fabs(x) < smallest) {
      smallest = std::fabs(x);
      nearest = i;
    }
  }
  // Only a range far wider than 1E100 leaves every column beyond the bound; moving
  // it would shift it by more than a step, so leave it as typed.
  if (nearest < 0) return;

  state.xMin = -static_cast<long double>(nearest) * step;
  state.xMax = static_cast<long double>(width - 1 - nearest) * step;
  writeXRange(state, view, decimalSeparator);
}

void doauto(const PlotState& state, PlotView& view) {
  const bool autoScale = isOn(state.optAutoScale);
  const bool xAutomatic = autoScale && isOn(state.optTwoFunctions);
  view.setFieldEnabled(Field::kXMin, !xAutomatic);
  view.setFieldEnabled(Field::kXMax, !xAutomatic);
  view.setFieldEnabled(Field::kYMin, !autoScale);
  view.setFieldEnabled(Field::kYMax, !autoScale);
}

}  // namespace kurvana
