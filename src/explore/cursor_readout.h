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

// The keyboard's way along the curve.
enum class TraceMove {
  kBackward,  // `steps` columns left, or steps back along the walk
  kForward,   // `steps` columns right, or steps on along the walk
  kFirst,     // plot column 0, or the walk's first point
  kLast,      // the last column, or the walk's last point
};

// The readout after a trace key: exactly what the pointer shows at that
// column, or at that point of the walk (same labels, same ring). Cartesian
// plots go on from the column of the last readout; before any, the first
// step lands on the middle column (W - 1) / 2 instead of moving. The walk
// goes on from its current point and stops at either end without turning;
// its direction for the pointer is left as it was.
Readout traceReadout(RenderContext& context, ExploreState& explore, TraceMove move, int steps);

}  // namespace kurvana
