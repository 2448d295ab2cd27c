// Where the plot area lies in the image and how values map onto its pixels.
// Every painter and every readout maps through here; the few arithmetic
// variants below are kept apart on purpose, because the pictures depend on
// the last bit of each.
#pragma once

#include <cmath>

#include "plot/plot_state.h"

namespace kurvana {

// Lengths at scale 1, in window pixels; a picture at scale s has each of
// them as scaledPixels(n, s) device pixels.
inline constexpr int kMargin = 20;  // plot columns 20 .. W + 19, rows 20 .. H + 19
// Pixels beside the plot that still count as its edge: a line point there is
// drawn on the edge instead of being dropped.
inline constexpr int kEdgeBand = 2;

// Stands for a position that cannot be computed: far outside the plot.
inline constexpr long double kFarPosition = 3000;

// n window pixels in device pixels at `scale`, rounded half to even: n itself
// at scale 1, so pictures at scale 1 keep every position.
inline int scaledPixels(int n, double scale) {
  return static_cast<int>(std::llrint(static_cast<double>(n) * scale));
}

// The two rounding rules, both round-half-to-even. The painters' rule:
// a position that is no number, or fits no integer, becomes kFarPosition.
inline long double finiteOrFar(long double v) {
  return std::isfinite(v) ? v : kFarPosition;
}
inline long double roundedOrFar(long double v) {
  const long double q = finiteOrFar(v);
  // llrint rounds halves to even in the default mode, without the library's
  // costly save and restore of the floating-point environment in nearbyintl.
  return std::fabs(q) < 9.2e18L ? static_cast<long double>(std::llrint(q)) : kFarPosition;
}

// The explorer's rule: false for a position that is no finite number of
// pixel size.
inline bool nearestPixel(long double v, int& out) {
  if (!(std::fabs(v) < 1e9L)) return false;
  out = static_cast<int>(std::llrint(v));
  return true;
}

// Positions beyond the edge bands move far away, so tests against the plot
// area stay simple: before the first band to 0, past the last one to
// extent + 2 * kMargin. `extent` is the plot's width or height.
inline long double parkBeyondBands(long double v, int extent) {
  if (v < kMargin - kEdgeBand) return 0;
  if (v > extent + kMargin - 1 + kEdgeBand) return extent + 2 * kMargin;
  return v;
}

// A position within an edge band is drawn on the edge.
inline long double snapToEdge(long double v, int extent) {
  if (v >= kMargin - kEdgeBand && v < kMargin) return kMargin;
  if (v > extent + kMargin - 1 && v <= extent + kMargin - 1 + kEdgeBand) {
    return extent + kMargin - 1;
  }
  return v;
}

// On the plot area, edges included.
inline bool insidePlot(long double v, int extent) {
  return v >= kMargin && v <= extent + kMargin - 1;
}

// The plot area of W x H pixels showing xMin .. xMax by yMin .. yMax: the
// first column shows xMin, the last xMax; the bottom row yMin, the top yMax.
// Width and height count device pixels; `scale` is device pixels per window
// pixel and sizes the margin, the edge bands and every other length.
struct PlotGeometry {
  int width = 0;
  int height = 0;
  long double xMin = 0;
  long double xMax = 0;
  long double yMin = 0;
  long double yMax = 0;
  double scale = 1;

  int px(int n) const { return scaledPixels(n, scale); }

  int margin() const { return px(kMargin); }
  int edgeBand() const { return px(kEdgeBand); }

  // The painters' rules of the free functions above, with the far position
  // beyond the largest plot of this scale.
  long double farPosition() const { return px(static_cast<int>(kFarPosition)); }
  long double finiteOrFar(long double v) const { return std::isfinite(v) ? v : farPosition(); }
  long double roundedOrFar(long double v) const {
    const long double q = finiteOrFar(v);
    return std::fabs(q) < 9.2e18L ? static_cast<long double>(std::llrint(q)) : farPosition();
  }
  long double parkBeyondBands(long double v, int extent) const {
    const int m = margin();
    const int band = edgeBand();
    if (v < m - band) return 0;
    if (v > extent + m - 1 + band) return extent + 2 * m;
    return v;
  }
  long double snapToEdge(long double v, int extent) const {
    const int m = margin();
    const int band = edgeBand();
    if (v >= m - band && v < m) return m;
    if (v > extent + m - 1 && v <= extent + m - 1 + band) return extent + m - 1;
    return v;
  }
  bool insidePlot(long double v, int extent) const {
    return v >= margin() && v <= extent + margin() - 1;
  }

  // Pixels from the first column (bottom row) to where x (y) lies, unrounded.
  long double columnOffset(long double x) const { return (x - xMin) * (width - 1) / (xMax - xMin); }
  long double rowOffset(long double y) const { return (y - yMin) * (height - 1) / (yMax - yMin); }

  // Image positions of an offset. The three row forms differ in their last
  // bit near powers of two, and each picture was made with its own.
  long double imageColumn(long double offset) const { return margin() + offset; }
  long double imageRow(long double offset) const { return (height + margin()) - offset - 1; }
  long double imageRowFromBottom(long double offset) const {
    return height + margin() - 1 - offset;
  }
  long double plotRowFromTop(long double offset) const { return (height - 1) - offset; }

  // The value shown at a column offset, and the step between columns.
  long double xAt(long double offset) const {
    return xMin + offset * (xMax - xMin) / static_cast<long double>(width - 1);
  }
  long double xStep() const { return (xMax - xMin) / (width - 1); }

  // How far a drag of `pixels` moves the range; the divisors are W and H.
  long double xDistance(long double pixels) const { return pixels * (xMax - xMin) / width; }
  long double yDistance(long double pixels) const { return pixels * (yMax - yMin) / height; }
};

// The geometry of the state's plot area, ranges and scale.
inline PlotGeometry plotGeometry(const PlotState& s) {
  return PlotGeometry{s.plotWidth, s.plotHeight, s.xMin, s.xMax, s.yMin, s.yMax, s.scale};
}

}  // namespace kurvana
