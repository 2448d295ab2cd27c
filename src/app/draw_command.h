// The Draw command: reads and validates the ranges, compiles the formulas,
// samples them and hands the samples to a renderer.
#pragma once

#include <string>

#include "plot/interface_texts.h"
#include "app/app_view.h"
#include "render/render_context.h"

namespace kurvana {

// Font colours of the formula fields after a Draw (0x00BBGGRR).
inline constexpr Color kSyntaxColor = 0x0000FF;      // red: the lexical pass failed
inline constexpr Color kBracketColor = 0xFF0000;     // blue: the structure pass failed
inline constexpr Color kEvaluationColor = 0x008080;  // olive: a sample failed
inline constexpr Color kCompiledColor = 0x000000;

// What other parts of the program do around a Draw.
class DrawHooks {
 public:
  virtual ~DrawHooks() = default;
  // Removes the cursor ring from the picture before anything else.
  virtual void eraseCircle() {}
  // The formula texts as typed, after every sample succeeded; g is null with
  // one function.
  virtual void recordHistory(const std::string& /*f*/, const std::string* /*g*/) {}
  // Writes and opens the analysis report, last, when it is asked for.
  virtual void report() {}
};

enum class DrawOutcome {
  kDrawn,
  kNothingToDraw,  // the F field holds no more than its label (or no frame was painted)
  kRangeError,
  kSyntaxError,
  kBracketError,
  kEvaluationError,
};

// The empty plot in the window: reads the range fields, sizes and places the
// image for the window, paints the empty plot, keeps its frame in the state
// (plot size, axes, no ring) and shows the plot size and "= 0" in the readout
// and integral labels.
void showEmptyPlot(RenderContext& context, AppView& view);

// The Draw command: one plot over the current picture (callers that want a
// clean picture call showEmptyPlot first). Failures beep, colour the field
// and show the message through the view.
DrawOutcome drawPlot(RenderContext& context, AppView& view, const InterfaceTexts& texts,
                     DrawHooks& hooks);

}  // namespace kurvana
