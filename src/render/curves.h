// The curve painters: y = F(x) from samplesA, and point sequences from
// samplesA/samplesB (parametric and polar plots).
#pragma once

#include "render/render_context.h"

namespace kurvana {

// Paints the Cartesian curve over the current image; with automatic scale it
// first fits the y range, writes it into the fields and repaints the frame.
void plotcart(RenderContext& context);

// Fills plot column i between the curve point on pixel row p and the axis or
// the plot edge; p is clamped in place (the dot painter uses the clamped row).
void fillcol(RenderContext& context, Canvas& canvas, int i, int& p);

// Paints the points (samplesA[i], samplesB[i]), i < zCount; with automatic
// scale it first fits both ranges.
void plotpar(RenderContext& context);

}  // namespace kurvana
