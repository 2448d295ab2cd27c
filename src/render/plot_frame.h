// The empty plot: colour scheme, image size, frame, grids with their labels,
// axes and arrowheads; and the one line primitive every painter uses.
#pragma once

#include "render/bitmap.h"
#include "render/render_context.h"

namespace kurvana {

inline constexpr int kMargin = 20;  // plot columns 20 .. W + 19, rows 20 .. H + 19
inline constexpr int kImageLeft = 8;
inline constexpr int kImageTop = 40;
inline constexpr int kMaxImageWidth = 2040;
inline constexpr int kMaxImageHeight = 1340;

// The scheme colours from optWhiteBack; paints nothing.
void setbg(PlotState& state);

// Reads the range fields, sizes the image from the window, clears the image
// to the background and paints the empty plot; sets plotWidth, plotHeight,
// yAxisColumn, xAxisRow and clears circleShown.
void set2d(RenderContext& context);

// A line with the canvas's pen; the end point is not painted.
inline void seg(Canvas& canvas, int x1, int y1, int x2, int y2) {
  canvas.moveTo(x1, y1);
  canvas.lineTo(x2, y2);
}

// The grid passes of set2d: vertical lines and x labels around plot column
// `offset`, horizontal lines around plot row `offset` (from the top).
void vgrid(RenderContext& context, Canvas& canvas, int offset);
void hgrid(RenderContext& context, Canvas& canvas, int offset);

}  // namespace kurvana
