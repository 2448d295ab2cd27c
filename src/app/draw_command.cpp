#include "app/draw_command.h"

#include <array>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>

#include "app/field_texts.h"
#include "engine/formula.h"
#include "explore/integral.h"
#include "plot/range_fields.h"
#include "render/curves.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr std::size_t kMaxSamples = kSampleCapacity - 1;

class Draw {
 public:
  Draw(RenderContext& context, AppView& view, const InterfaceTexts& texts)
      : s_(context.state), view_(view), texts_(texts) {}

  DrawOutcome rangeError() {
    return fail(DrawOutcome::kRangeError, texts_[TextId::kMsgRange1], texts_[TextId::kMsgRange2],
                texts_[TextId::kMsgRange3]);
  }

  DrawOutcome syntaxError(Field field, const char* name) {
    view_.setFieldColor(field, kSyntaxColor);
    view_.focusField(field);
    return fail(DrawOutcome::kSyntaxError, texts_[TextId::kMsgSyntax1] + name,
                texts_[TextId::kMsgSyntax2], texts_[TextId::kMsgSyntax3]);
  }

  DrawOutcome bracketError(Field field, const char* suffix) {
    view_.setFieldColor(field, kBracketColor);
    return fail(DrawOutcome::kBracketError, texts_[TextId::kMsgSyntax1] + suffix,
                texts_[TextId::kMsgBrackets], texts_[TextId::kMsgSyntax3]);
  }

  DrawOutcome evaluationError(Field field, const char* prefix) {
    view_.setFieldColor(field, kEvaluationColor);
    return fail(DrawOutcome::kEvaluationError, prefix + texts_[TextId::kMsgOverflow1],
                texts_[TextId::kMsgOverflow2], texts_[TextId::kMsgOverflow3]);
  }

  // Samples `formula` at min + i * step for i < n into `values`, multiplied by
  // the cosine or sine of the argument when asked; false at the first failure.
  bool sample(const Formula& formula, long double min, long double max, int n,
              std::span<long double> values, long double (*factor)(long double)) {
    const long double step = (max - min) / (n - 1);
    std::array<long double, kMaxSamples> args;
    for (int i = 0; i < n; ++i) args[static_cast<std::size_t>(i)] = min + i * step;
    const auto count = static_cast<std::size_t>(n);
    const std::size_t good =
        evaluateSamples(formula, std::span(args).first(count), values.first(count), s_.eval);
    if (good != count) return false;
    if (factor != nullptr) {
      for (std::size_t i = 0; i < count; ++i) values[i] = values[i] * factor(args[i]);
    }
    return true;
  }

 private:
  DrawOutcome fail(DrawOutcome outcome, const std::string& line1, const std::string& line2,
                   const std::string& line3) {
    view_.beep();
    view_.showMessage(line1, line2, line3);
    return outcome;
  }

  PlotState& s_;
  AppView& view_;
  const InterfaceTexts& texts_;
};

long double cosine(long double t) {
  return std::cos(t);
}
long double sine(long double t) {
  return std::sin(t);
}

// Characters of UTF-8 text: a lead byte with all its continuation bytes is
// one, and so is any byte that belongs to no complete sequence.
std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++count) {
    const auto lead = static_cast<unsigned char>(text[i++]);
    const std::size_t continuation = lead >= 0xF0 && lead < 0xF8   ? 3
                                     : lead >= 0xE0 && lead < 0xF0 ? 2
                                     : lead >= 0xC0 && lead < 0xE0 ? 1
                                                                   : 0;
    std::size_t n = 0;
    while (n < continuation && i + n < text.size() &&
           (static_cast<unsigned char>(text[i + n]) & 0xC0) == 0x80) {
      ++n;
    }
    if (n == continuation) i += n;
  }
  return count;
}

// A range usable for sampling: ordered, and its width representable.
bool ordered(long double min, long double max) {
  return min < max && std::isfinite(max - min);
}

}  // namespace

void showEmptyPlot(RenderContext& context, AppView& view) {
  PlotState& s = context.state;
  s.circleShown = false;
  readRangeFields(s, view, context.decimalSeparator);
  const Size image = plotImageSize(view.windowSize());
  view.placeImage(kImageLeft, kImageTop, image.width, image.height);
  const PlotFrame frame = paintEmptyPlot(context, deviceImageSize(image, s.scale));
  const int w = frame.geometry.width;
  const int h = frame.geometry.height;
  // The label speaks window pixels, as the window's size does.
  view.setLabel(Label::kPlotSize, "= " + std::to_string(image.width - 2 * kMargin) + ", " +
                                      std::to_string(image.height - 2 * kMargin));
  s.plotWidth = w;
  s.plotHeight = h;
  s.yAxisColumn = frame.yAxisColumn;
  s.xAxisRow = frame.xAxisRow;
  for (const Label label :
       {Label::kReadoutX, Label::kReadoutF, Label::kReadoutDerivative, Label::kIntegral}) {
    view.setLabel(label, "= 0");
  }
}

DrawOutcome drawPlot(RenderContext& context, AppView& view, const InterfaceTexts& texts,
                     DrawHooks& hooks) {
  PlotState& s = context.state;
  Draw draw(context, view, texts);

  hooks.eraseCircle();
  s.plotValid = false;
  const FieldTexts fields = readFieldTexts(view);
  const RangeReading reading = readRanges(s, view, fields, context.decimalSeparator);
  const bool autoScale = isOn(s.optAutoScale);
  const bool two = isOn(s.optTwoFunctions);
  const bool polar = isOn(s.optPolar);
  if (autoScale) {
    if (const auto aligned = alignZeroColumn(s, context.decimalSeparator)) {
      s.xMin = aligned->xMin;
      s.xMax = aligned->xMax;
      applyFieldEdits(view, aligned->texts);
    }
  }

  if (!ordered(s.xMin, s.xMax)) return draw.rangeError();
  if (!autoScale && !ordered(s.yMin, s.yMax)) return draw.rangeError();
  if (two && !ordered(s.zMin, s.zMax)) return draw.rangeError();

  if (characterCount(reading.sourceF) < 6) return DrawOutcome::kNothingToDraw;
  if (!two && !polar && s.plotWidth < 2) return DrawOutcome::kNothingToDraw;  // no frame yet

  // Both texts are compiled before either is judged: a syntax error in G is
  // reported before a bracket error in F.
  const CompileResult f = compile(reading.sourceF);
  const std::optional<CompileResult> g =
      two ? std::optional(compile(reading.sourceG)) : std::nullopt;
  if (f.error == CompileError::kSyntax) return draw.syntaxError(Field::kFormulaF, " F(x)");
  if (g && g->error == CompileError::kSyntax) return draw.syntaxError(Field::kFormulaG, " G(x)");
  if (f.error == CompileError::kStructure) return draw.bracketError(Field::kFormulaF, " F(x)");
  s.formulaF = f.formula;
  view.setFieldColor(Field::kFormulaF, kCompiledColor);
  if (g && g->error == CompileError::kStructure) {
    return draw.bracketError(Field::kFormulaG, " G(x),");
  }
  if (g) s.formulaG = g->formula;
  view.setFieldColor(Field::kFormulaG, kCompiledColor);

  if (two) {
    const int n = s.zCount;
    if (!draw.sample(s.formulaF, s.zMin, s.zMax, n, s.samplesA, polar ? cosine : nullptr)) {
      return draw.evaluationError(Field::kFormulaF, "F(x) ");
    }
    if (!draw.sample(s.formulaG, s.zMin, s.zMax, n, s.samplesB, polar ? sine : nullptr)) {
      return draw.evaluationError(Field::kFormulaG, "G(x) ");
    }
  } else if (!polar) {
    if (!draw.sample(s.formulaF, s.xMin, s.xMax, s.plotWidth, s.samplesA, nullptr)) {
      return draw.evaluationError(Field::kFormulaF, "F(x) ");
    }
  } else {
    const int n = s.zCount;
    if (!draw.sample(s.formulaF, s.zMin, s.zMax, n, s.samplesA, nullptr)) {
      return draw.evaluationError(Field::kFormulaF, "F(x) ");
    }
    const long double step = (s.zMax - s.zMin) / (n - 1);
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const long double t = s.zMin + i * step;
      const long double r = s.samplesA[k];
      s.samplesA[k] = r * std::cos(t);
      s.samplesB[k] = r * std::sin(t);
    }
  }

  const std::string typedF = view.fieldText(Field::kFormulaF);
  const std::string typedG = view.fieldText(Field::kFormulaG);
  hooks.recordHistory(typedF, two ? &typedG : nullptr);

  s.plotValid = true;
  s.circleShown = false;
  const std::string_view sep = context.decimalSeparator;
  if (!two && !polar) {
    if (autoScale) {
      const ValueRange y = fittedCartesianYRange(s);
      s.yMin = y.min;
      s.yMax = y.max;
      writeYRange(s, view, sep);
      showEmptyPlot(context, view);  // maps the curve with the range as the fields show it
    }
    paintCartesianCurve(context, s.samplesA, CurvePass::kDraw);
    const Integral integral = computeIntegral(s, sep);
    s.integralValue = integral.value;
    view.setLabel(Label::kIntegral, integral.label);
  } else {
    if (autoScale) {
      const PointRanges fitted = fittedPointRanges(s);
      s.yMin = fitted.y.min;
      s.yMax = fitted.y.max;
      writeYRange(s, view, sep);
      s.xMin = fitted.x.min;
      s.xMax = fitted.x.max;
      writeXRange(s, view, sep);
      showEmptyPlot(context, view);  // maps the points with the ranges as the fields show them
    }
    paintPointCurve(context, s.samplesA, s.samplesB, CurvePass::kDraw);
  }
  if (isOn(s.optReport) && !polar) hooks.report();
  return DrawOutcome::kDrawn;
}

}  // namespace kurvana
