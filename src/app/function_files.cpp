#include "app/function_files.h"

#include "app/field_texts.h"
#include "plot/range_fields.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

std::uint8_t asFlag(bool on) {
  return on ? flagOn : flagOff;
}

}  // namespace

FunctionFileContents functionFileOf(const PlotState& s, const AppView& view) {
  FunctionFileContents c;
  c.twoFunctions = isOn(s.optTwoFunctions);
  c.polar = isOn(s.optPolar);
  c.texts = readFieldTexts(view);
  c.colorLine = true;
  c.color = s.curveColor;
  c.filled = isOn(s.optFilled);
  c.lines = isOn(s.optLines);
  c.antialias = isOn(s.optAntialias);
  c.whiteBack = isOn(s.optWhiteBack);
  c.axes = isOn(s.optAxes);
  c.grid = isOn(s.optGrid);
  c.darkNegative = isOn(s.optDarkNegative);
  c.thick = isOn(s.optThick);
  c.autoScale = isOn(s.optAutoScale);
  return c;
}

void applyFunctionFile(PlotState& s, AppView& view, const FunctionFileContents& c) {
  const auto put = [&](Field f) { view.setFieldText(f, textOf(c.texts, f)); };
  put(Field::kFormulaF);
  if (c.twoFunctions) put(Field::kFormulaG);
  s.optPolar = asFlag(c.polar);
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) put(f);
  if (c.hasZRange()) {
    for (Field f : {Field::kZCount, Field::kZMin, Field::kZMax}) put(f);
  }

  // A colour line that holds no number puts the colour there again.
  if (c.colorLine) {
    setCurveColor(s, c.color.value_or(s.curveColor));
    view.showCurveColor(s.curveColor);
  }
  if (c.filled) {
    s.optFilled = asFlag(*c.filled);
    view.showToggle(Toggle::kFilled, *c.filled);
  }
  if (c.lines) {
    s.optLines = asFlag(*c.lines);
    view.showToggle(Toggle::kLines, *c.lines);
  }
  if (c.antialias) s.optAntialias = asFlag(*c.antialias);
  if (c.whiteBack) {
    s.optWhiteBack = asFlag(*c.whiteBack);
    applyColourScheme(s);
  }
  if (c.axes) s.optAxes = asFlag(*c.axes);
  if (c.grid) s.optGrid = asFlag(*c.grid);
  if (c.darkNegative) s.optDarkNegative = asFlag(*c.darkNegative);
  if (c.thick) s.optThick = asFlag(*c.thick);
  if (c.autoScale) {
    s.optAutoScale = asFlag(*c.autoScale);
    view.showToggle(Toggle::kAutoScale, *c.autoScale);
  }
  doauto(s, view);
}

Status loadFunctionFile(PlotState& state, AppView& view, const std::filesystem::path& path) {
  FunctionFileRead read = readFunctionFile(path, isOn(state.optTwoFunctions));
  if (read.contents) applyFunctionFile(state, view, *read.contents);
  return std::move(read.status);
}

Status saveFunctionFile(const PlotState& state, const AppView& view,
                        const std::filesystem::path& path) {
  return writeFunctionFile(path, functionFileOf(state, view));
}

}  // namespace kurvana
