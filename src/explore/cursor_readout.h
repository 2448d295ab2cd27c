// Reading values off a drawn plot under the pointer, and the ring that marks
// the point. The ring is painted into the plot image over a saved copy of the
// pixels beneath it, so hovering never repaints the plot.
#pragma once

#include <optional>
#include <string>

#include "explore/exploration.h"
#include "render/render_context.h"

namespace kurvana {

// Puts back the pixels under the ring, if one is shown.
void eraseCircle(PlotState& state, Bitmap& image, ExploreState& explore);

// What a readout shows: the new texts of the x, F(x) and F'(x) labels (none:
// the label keeps its text), and the centre of the ring when one was placed.
struct Readout {
  std::optional<std::string> x;
  std::optional<std::string> f;
  std::optional<std::string> derivative;
  std::optional<Point> ring;
};

// The readout for a pointer move to image pixel (x, y) while no drag runs:
// Cartesian plots read the column under the pointer; parametric and polar
// plots advance the marker one sample along the curve per move (backwards
// with a modifier key held), turning at either end. The ring is painted into
// the image.
Readout readout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y);

}  // namespace kurvana
