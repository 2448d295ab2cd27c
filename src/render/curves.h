// The curve painters: y = F(x) from one sample per plot column, and point
// sequences (parametric and polar plots); and the ranges automatic scale fits
// to a Draw's samples.
#pragma once

#include <array>

#include "render/plot_painter.h"
#include "render/render_context.h"

namespace kurvana {

using Samples = std::array<long double, kSampleCapacity>;

// Which picture a curve is painted for. The Draw's picture maps positions
// exactly and rounds at the end, antialiasing when the option is on. The
// preview of a pan drag paints what the samples give at once: no
// antialiasing, positions rounded to whole pixels first (nearestPixel),
// entries marked noSample are gaps, and a filled curve's lines join the rows
// its columns were clamped to.
enum class CurvePass { kDraw, kPreview };

// Paints the Cartesian curve of `values` (one per plot column, plotWidth of
// them) over the current image with the state's ranges and options.
void paintCartesianCurve(RenderContext& context, const Samples& values, CurvePass pass);

// Paints the points (xs[i], ys[i]), i < zCount, over the current image.
void paintPointCurve(RenderContext& context, const Samples& xs, const Samples& ys, CurvePass pass);

// The two curves as primitives, in painting order: what the painters above
// paint, handed to any painter.
void traceCartesianCurve(const PlotState& state, const Samples& values, CurvePass pass,
                         PlotPainter& painter);
void tracePointCurve(const PlotState& state, const Samples& xs, const Samples& ys, CurvePass pass,
                     PlotPainter& painter);

// Fills plot column i between the curve point on pixel row p and the axis or
// the plot edge; p is clamped in place (the dot painter uses the clamped row).
void fillColumn(const PlotState& state, PlotPainter& painter, int i, int& p);

struct ValueRange {
  long double min = 0;
  long double max = 0;
};

// The ranges automatic scale fits to the samples: smallest to largest value;
// a single value c widens to 0.9c .. 1.1c, and 0 to -1 .. 1. The y range of a
// Cartesian curve, both ranges of a point curve.
ValueRange fittedCartesianYRange(const PlotState& state);
struct PointRanges {
  ValueRange x;
  ValueRange y;
};
PointRanges fittedPointRanges(const PlotState& state);

// Marks a preview entry that has no point: the extended value 12345.67809,
// sign and exponent 0x400C, significand 0xC0E6B65D3996FA83. Entries are
// compared with it bit for bit.
long double noSample();
bool isNoSample(long double v);

}  // namespace kurvana
