// Zooming by a factor of 2 along one axis, and panning by dragging the plot
// with a preview painted from the samples already there.
#pragma once

#include <optional>

#include "explore/exploration.h"
#include "render/render_context.h"

namespace kurvana {

enum class ZoomDirection { kIn, kOut };

// One zoom step's range: both ends of the x range, or of the y range with
// Shift, Alt or Ctrl, halved (in) or doubled (out), so the plotted range moves toward
// or away from 0. The caller shows it in the fields, then repaints the frame,
// draws and refreshes the readout at the pointer. None, for the caller to
// beep, without a plot or when the range would leave the extended numbers.
struct ZoomedRange {
  bool yAxis = false;
  long double min = 0;
  long double max = 0;
};
std::optional<ZoomedRange> zoomRange(const PlotState& state, ZoomDirection direction, Keys keys);

// What a press on the plot image started.
enum class PlotPress {
  kNothing,       // no plot: the caller beeps
  kMenuDisabled,  // right button: the context menu opens with "Save picture" and zoom disabled
  kMenuEnabled,   // right button with a plot: every item enabled
  kPanStarted,    // left or middle button: a pan drag runs until the release
};

// A press on the plot image at image pixel (x, y).
PlotPress plotPointerPressed(RenderContext& context, ExploreState& explore, MouseButton button,
                             int x, int y);

// Which ranges a drag step moved.
struct PanStep {
  bool xMoved = false;
  bool yMoved = false;
};

// A drag step to image pixel (x, y) while a drag runs on a drawn plot: moves
// the ranges with the pointer (the divisors are W and H). Cartesian plots
// move x, and y unless automatic scale owns it; parametric and polar plots
// move both, or nothing with automatic scale. When something moved, the
// caller shows the ranges in the fields, repaints the empty plot from them
// and calls paintPanPreview.
PanStep panRanges(PlotState& state, ExploreState& explore, int x, int y);

// The drag preview for the pointer at column x: the Draw's samples moved with
// the pointer (Cartesian) or those inside the new ranges (parametric and
// polar), painted by the curve painters' preview pass.
void paintPanPreview(RenderContext& context, ExploreState& explore, int x);

// Any button released: ends a drag. True when the plot is to be drawn anew for
// the final ranges (the caller repaints the frame and draws).
bool plotPointerReleased(const PlotState& state, ExploreState& explore);

}  // namespace kurvana
