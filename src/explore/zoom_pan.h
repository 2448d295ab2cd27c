// Zooming by a factor of 2 along one axis, and panning by dragging the plot
// with a preview painted from the samples already there.
#pragma once

#include "explore/exploration.h"
#include "render/render_context.h"

namespace kurvana {

enum class ZoomDirection { kIn, kOut };

// One zoom step: both ends of the x range, or of the y range with Shift, Alt
// or Ctrl, are halved (in) or doubled (out), so the view moves toward or away
// from 0, and the fields show the new range. The caller then repaints the
// frame, draws and refreshes the readout at the pointer. False, after a beep,
// without a plot or when the range would leave the extended numbers.
bool zoomRange(RenderContext& context, ZoomDirection direction, Keys keys);

// What a press on the plot image started.
enum class PlotPress {
  kNothing,       // no plot: beeped
  kMenuDisabled,  // right button: the context menu opens with "Save picture" and zoom disabled
  kMenuEnabled,   // right button with a plot: every item enabled
  kPanStarted,    // left or middle button: a pan drag runs until the release
};

// A press on the plot image at image pixel (x, y).
PlotPress plotPointerPressed(RenderContext& context, ExploreState& explore, MouseButton button,
                             int x, int y);

// A pointer move over the plot image: a drag step while a drag runs, the
// readout otherwise; nothing without a plot.
void plotPointerMoved(RenderContext& context, ExploreState& explore, Keys keys, int x, int y);

// Any button released: ends a drag. True when the plot is to be drawn anew for
// the final ranges (the caller repaints the frame and draws).
bool plotPointerReleased(const PlotState& state, ExploreState& explore);

// The drag previews: panSamplesA (Cartesian) or the points of panSamplesA and
// panSamplesB (parametric and polar) painted without filling the range,
// antialiasing or evaluating anything.
void paintPanCartesian(RenderContext& context, const ExploreState& explore);
void paintPanParametric(RenderContext& context, const ExploreState& explore);

}  // namespace kurvana
