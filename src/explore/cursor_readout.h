// Reading values off a drawn plot under the pointer, and the ring that marks
// the point. The ring is painted into the plot image over a saved copy of the
// pixels beneath it, so hovering never repaints the plot.
#pragma once

#include "explore/exploration.h"
#include "render/render_context.h"

namespace kurvana {

// Puts back the pixels under the ring, if one is shown.
void eraseCircle(PlotState& state, Bitmap& image, ExploreState& explore);

// The readout for a pointer move to image pixel (x, y) while no drag runs:
// Cartesian plots read the column under the pointer; parametric and polar
// plots advance the marker one sample along the curve per move (backwards
// with a modifier key held), turning at either end.
void readout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y);

}  // namespace kurvana
