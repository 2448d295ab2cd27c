// The empty plot: colour scheme, image size, frame, grids with their labels,
// axes and arrowheads, traced for any painter (plot_painter.h).
#pragma once

#include <string_view>

#include "plot/fields.h"
#include "render/bitmap.h"
#include "render/plot_geometry.h"
#include "render/plot_painter.h"
#include "render/render_context.h"

namespace kurvana {

inline constexpr int kImageLeft = 8;
inline constexpr int kImageTop = 40;
inline constexpr int kMaxImageWidth = 2040;
inline constexpr int kMaxImageHeight = 1340;
inline constexpr int kNoAxis = -100;  // an axis position off the image: the range holds no 0

// The plot area of a painted frame and where its axes run.
struct PlotFrame {
  PlotGeometry geometry;
  int yAxisColumn = kNoAxis;
  int xAxisRow = kNoAxis;
};

// The scheme colours from optWhiteBack; paints nothing.
void applyColourScheme(PlotState& state);

// The plot image's size for a main window of `window`: what is left beside
// the controls, within the smallest and largest image.
Size plotImageSize(Size window);

// The picture of a plot image of `image` window pixels on a screen of
// `scale`: round(scale * width) x round(scale * height) device pixels.
Size deviceImageSize(Size image, double scale);

// Clears the image to `imageSize` device pixels in the background colour and
// paints the frame, grids, labels and axes for the state's ranges at the
// state's scale. The state is only read: the caller keeps the returned frame
// (plot size in device pixels and axes).
PlotFrame paintEmptyPlot(RenderContext& context, Size imageSize);

// The empty plot as primitives, in painting order, for an image of
// `imageSize` whose background the caller has laid: the frame, grids, labels
// and axes that paintEmptyPlot paints, and the same returned frame.
PlotFrame tracePlotFrame(const PlotState& state, Size imageSize, std::string_view decimalSeparator,
                         PlotPainter& painter);

// The grid passes of the empty plot: vertical lines and x labels around plot
// column `offset`, horizontal lines around plot row `offset` (from the top).
void traceVerticalGrid(const PlotState& state, const PlotGeometry& geometry, int offset,
                       int imageHeight, std::string_view decimalSeparator, PlotPainter& painter);
void traceHorizontalGrid(const PlotState& state, const PlotGeometry& geometry, int offset,
                         PlotPainter& painter);

}  // namespace kurvana
