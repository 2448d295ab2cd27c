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

void readReal(const FieldTexts& texts, Field field, long double& target, std::string_view separator,
              FieldEdits& rewrites) {
  if (const auto value = parseLocaleNumber(textOf(texts, field), separator)) {
    target = *value;
  } else {
    rewrites.push_back({field, formatGeneral(target, separator)});
  }
}

FieldEdits boundTexts(Field minField, long double min, Field maxField, long double max,
                      std::string_view separator) {
  return {{minField, formatGeneral(min, separator)}, {maxField, formatGeneral(max, separator)}};
}

}  // namespace

Ranges rangesOf(const PlotState& state) {
  return state;
}

void setRanges(PlotState& state, const Ranges& ranges) {
  static_cast<PlotRanges&>(state) = ranges;
}

RangeReading readRangeFields(const FieldTexts& texts, const Ranges& current,
                             std::string_view decimalSeparator) {
  RangeReading reading{current, {}, {}, {}};
  Ranges& r = reading.ranges;
  FieldEdits& rewrites = reading.rewrites;
  readReal(texts, Field::kXMin, r.xMin, decimalSeparator, rewrites);
  readReal(texts, Field::kXMax, r.xMax, decimalSeparator, rewrites);
  readReal(texts, Field::kYMin, r.yMin, decimalSeparator, rewrites);
  readReal(texts, Field::kYMax, r.yMax, decimalSeparator, rewrites);
  reading.sourceF = upperCaseFormula(textOf(texts, Field::kFormulaF));
  readReal(texts, Field::kZMin, r.zMin, decimalSeparator, rewrites);
  readReal(texts, Field::kZMax, r.zMax, decimalSeparator, rewrites);

  if (const auto count = parseInteger(textOf(texts, Field::kZCount))) {
    r.zCount = *count;
  } else {
    rewrites.push_back({Field::kZCount, std::to_string(r.zCount)});
  }
  if (r.zCount < kMinZCount || r.zCount > kMaxZCount) {
    r.zCount = kDefaultZCount;
    rewrites.push_back({Field::kZCount, std::to_string(kDefaultZCount)});
  }

  reading.sourceG = upperCaseFormula(textOf(texts, Field::kFormulaG));
  return reading;
}

FieldEdits writeXRange(const PlotState& state, std::string_view decimalSeparator) {
  return boundTexts(Field::kXMin, state.xMin, Field::kXMax, state.xMax, decimalSeparator);
}

FieldEdits writeYRange(const PlotState& state, std::string_view decimalSeparator) {
  return boundTexts(Field::kYMin, state.yMin, Field::kYMax, state.yMax, decimalSeparator);
}

std::optional<ZeroAlignment> alignZeroColumn(const PlotState& state,
                                             std::string_view decimalSeparator) {
  if (!(state.xMin < 0 && state.xMax > 0)) return std::nullopt;
  const std::int32_t width = state.plotWidth;
  if (width < 2) return std::nullopt;
  // A range whose width overflows cannot be sampled; the Draw command reports it.
  const long double step = (state.xMax - state.xMin) / static_cast<long double>(width - 1);
  if (!std::isfinite(step)) return std::nullopt;

  // The columns are computed exactly as the sampler computes them, so the chosen
  // column's x really is the one that lands on 0. The first of equal candidates wins.
  long double smallest = 1E100L;
  std::int32_t nearest = -1;
  for (std::int32_t i = 0; i < width; ++i) {
    const long double x = static_cast<long double>(i) * step + state.xMin;
    if (x == 0) return std::nullopt;
    if (std::fabs(x) < smallest) {
      smallest = std::fabs(x);
      nearest = i;
    }
  }
  // Only a range far wider than 1E100 leaves every column beyond the bound; moving
  // it would shift it by more than a step, so leave it as typed.
  if (nearest < 0) return std::nullopt;

  const long double xMin = -static_cast<long double>(nearest) * step;
  const long double xMax = static_cast<long double>(width - 1 - nearest) * step;
  return ZeroAlignment{xMin, xMax,
                       boundTexts(Field::kXMin, xMin, Field::kXMax, xMax, decimalSeparator)};
}

std::array<FieldEnabling, 4> doauto(const PlotState& state) {
  const bool autoScale = isOn(state.optAutoScale);
  const bool xAutomatic = autoScale && isOn(state.optTwoFunctions);
  return {{{Field::kXMin, !xAutomatic},
           {Field::kXMax, !xAutomatic},
           {Field::kYMin, !autoScale},
           {Field::kYMax, !autoScale}}};
}

}  // namespace kurvana
