#include "render/curves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "render/plot_geometry.h"
#include "render/raster_painter.h"

namespace kurvana {
namespace {

int roundToInt(long double v) {
  return static_cast<int>(std::llrint(v));
}

// How many samples a count may address: the buffers hold kSampleCapacity, and
// a damaged count must not read past them.
int sampleCount(std::int32_t n) {
  return std::clamp(n, 0, kSampleCapacity);
}

// The smallest and largest of n values; a single value c widens to
// 0.9c .. 1.1c, and 0 to -1 .. 1.
void fit(const long double* values, int n, long double& min, long double& max) {
  max = -std::exp(100.0L);
  min = std::exp(100.0L);
  for (int i = 0; i < n; ++i) {
    if (values[i] > max) max = values[i];
    if (values[i] < min) min = values[i];
  }
  if (min == max) {
    const long double c = min;
    if (c == 0) {
      min = -1;
      max = 1;
    } else {
      min = std::fmin(0.9L * c, 1.1L * c);
      max = std::fmax(0.9L * c, 1.1L * c);
    }
  }
}

}  // namespace

void fillColumn(const PlotState& s, PlotPainter& painter, int i, int& p) {
  const int h = s.plotHeight;
  const int m = scaledPixels(kMargin, s.scale);
  const int x = i + m;
  const Color dark = isOn(s.optDarkNegative) ? s.curveColorDark : s.curveColor;
  if (s.yMin < 0 && 0 < s.yMax) {
    p = std::clamp(p, m, h + m - 1);
    if (p > s.xAxisRow) painter.fillSpan(x, s.xAxisRow, p, dark);
    if (p < s.xAxisRow) painter.fillSpan(x, p, s.xAxisRow, s.curveColor);
  } else {
    if (s.yMin >= 0) {  // down to the bottom edge
      if (p < m) p = m;
      if (p > h + m - 1) p = h + m;
      if (p < h + m) painter.fillSpan(x, p, h + m - 1, s.curveColor);
    }
    if (s.yMax <= 0) {  // up to the top edge
      if (p > h + m - 1) p = h + m - 1;
      if (p < m) p = m - 1;
      if (p >= m) painter.fillSpan(x, m, p, dark);
    }
  }
}

ValueRange fittedCartesianYRange(const PlotState& state) {
  ValueRange y;
  fit(state.samplesA.data(), sampleCount(state.plotWidth), y.min, y.max);
  return y;
}

PointRanges fittedPointRanges(const PlotState& state) {
  PointRanges ranges;
  fit(state.samplesB.data(), sampleCount(state.zCount), ranges.y.min, ranges.y.max);
  fit(state.samplesA.data(), sampleCount(state.zCount), ranges.x.min, ranges.x.max);
  return ranges;
}

void paintCartesianCurve(RenderContext& context, const Samples& values, CurvePass pass) {
  RasterPainter painter(context.image, context.artwork, context.text, context.state.scale);
  traceCartesianCurve(context.state, values, pass, painter);
}

void traceCartesianCurve(const PlotState& s, const Samples& values, CurvePass pass,
                         PlotPainter& painter) {
  const bool preview = pass == CurvePass::kPreview;
  const int w = sampleCount(s.plotWidth);
  if (preview && w == 0) return;
  const int h = s.plotHeight;
  const PlotGeometry g = plotGeometry(s);
  const int m = g.margin();
  const long double d = s.yMax - s.yMin;
  const bool filled = isOn(s.optFilled);
  const bool thick = isOn(s.optThick);
  const bool darkNegative = isOn(s.optDarkNegative);
  const auto colorOf = [&](long double v) {
    return v < 0 && darkNegative ? s.curveColorDark : s.curveColor;
  };
  const auto at = [&](int i) { return values[static_cast<std::size_t>(i)]; };
  const auto gap = [&](int i) { return preview && isNoSample(at(i)); };
  // The preview's row: the offset rounded first, far off the plot when it
  // has no pixel.
  const auto previewRow = [&](long double v) {
    int k = static_cast<int>(g.farPosition());
    if (!nearestPixel(g.rowOffset(v), k)) k = static_cast<int>(g.farPosition());
    return static_cast<int>(g.imageRowFromBottom(k));
  };
  if (!isOn(s.optLines)) {
    if (d == 0) return;
    for (int i = 0; i < w; ++i) {
      if (gap(i)) continue;
      const long double v = at(i);
      int p = preview ? previewRow(v)
                      : roundToInt(g.parkBeyondBands(g.imageRow(g.roundedOrFar(g.rowOffset(v))), h));
      if (filled) fillColumn(s, painter, i, p);
      if (!g.insidePlot(p, h)) continue;
      painter.dot(i + m, p, g.px(thick && !filled ? 2 : 1), colorOf(v));
    }
    return;
  }

  const int width = thick && !filled ? 2 : 1;
  const auto rowOf = [&](long double v) -> long double {
    if (preview) return previewRow(v);
    return g.parkBeyondBands(g.imageRow(g.finiteOrFar(g.rowOffset(v))), h);
  };
  // Fills column i for the curve row r; the preview joins the clamped row.
  const auto fillAt = [&](int i, long double& r) {
    int p = roundToInt(r);
    fillColumn(s, painter, i, p);
    if (preview) r = p;
  };
  long double previous = rowOf(at(0));
  if (filled && !gap(0)) fillAt(0, previous);
  if (d == 0) return;
  const bool antialias = !preview && isOn(s.optAntialias);
  const bool dense = !isOn(s.optWhiteBack);
  for (int i = 1; i < w; ++i) {
    if (gap(i)) continue;
    const long double v = at(i);
    long double r = rowOf(v);
    if (gap(i - 1)) {
      previous = r;  // the first column after a gap is neither filled nor joined
      continue;
    }
    if (filled) fillAt(i, r);
    r = g.snapToEdge(r, h);
    previous = g.snapToEdge(previous, h);
    if (g.insidePlot(r, h) && g.insidePlot(previous, h)) {
      if (antialias) {
        painter.smoothSegment(i + m - 1, previous, i + m, r,
                              filled && darkNegative ? colorOf(v) : s.curveColor, dense, thick);
      } else {
        painter.segment(i + m - 1, roundToInt(previous), i + m, roundToInt(r), width,
                        colorOf(v));
      }
    }
    previous = r;
  }
}

void paintPointCurve(RenderContext& context, const Samples& xs, const Samples& ys, CurvePass pass) {
  RasterPainter painter(context.image, context.artwork, context.text, context.state.scale);
  tracePointCurve(context.state, xs, ys, pass, painter);
}

void tracePointCurve(const PlotState& s, const Samples& xs, const Samples& ys, CurvePass pass,
                     PlotPainter& painter) {
  const bool preview = pass == CurvePass::kPreview;
  const int n = sampleCount(s.zCount);
  const int w = s.plotWidth;
  const int h = s.plotHeight;
  const PlotGeometry g = plotGeometry(s);
  // A gap of the preview lies far off the plot, like a point without a position.
  const auto gap = [&](std::size_t k) {
    return preview && (isNoSample(xs[k]) || isNoSample(ys[k]));
  };
  const int width = isOn(s.optThick) ? 2 : 1;

  if (!isOn(s.optLines)) {
    const int side = g.px(isOn(s.optThick) ? 2 : 1);
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (gap(k)) continue;
      const int p =
          roundToInt(g.parkBeyondBands(g.imageRow(g.roundedOrFar(g.rowOffset(ys[k]))), h));
      const int q =
          roundToInt(g.parkBeyondBands(g.imageColumn(g.roundedOrFar(g.columnOffset(xs[k]))), w));
      if (!g.insidePlot(p, h) || !g.insidePlot(q, w)) continue;
      painter.dot(q, p, side, s.curveColor);
    }
    return;
  }

  if (preview && n == 0) return;
  // The preview's rows take the other arithmetic of the row form.
  const auto rowOf = [&](std::size_t k) {
    if (gap(k)) return g.farPosition();
    const long double offset = g.finiteOrFar(g.rowOffset(ys[k]));
    return g.parkBeyondBands(preview ? g.imageRowFromBottom(offset) : g.imageRow(offset), h);
  };
  const auto columnOf = [&](std::size_t k) {
    if (gap(k)) return g.parkBeyondBands(g.farPosition(), w);
    return g.parkBeyondBands(g.imageColumn(g.finiteOrFar(g.columnOffset(xs[k]))), w);
  };
  const bool antialias = !preview && isOn(s.optAntialias);
  long double rowPrevious = rowOf(0);
  long double columnPrevious = columnOf(0);
  for (int i = 1; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    long double r = g.snapToEdge(rowOf(k), h);
    rowPrevious = g.snapToEdge(rowPrevious, h);
    long double c = g.snapToEdge(columnOf(k), w);
    columnPrevious = g.snapToEdge(columnPrevious, w);
    if (g.insidePlot(r, h) && g.insidePlot(rowPrevious, h) && g.insidePlot(c, w) &&
        g.insidePlot(columnPrevious, w)) {
      if (antialias) {
        painter.smoothSegment(columnPrevious, rowPrevious, c, r, s.curveColor,
                              !isOn(s.optWhiteBack), isOn(s.optThick));
      } else {
        painter.segment(roundToInt(columnPrevious), roundToInt(rowPrevious), roundToInt(c),
                        roundToInt(r), width, s.curveColor);
      }
    }
    rowPrevious = r;
    columnPrevious = c;
  }
}

}  // namespace kurvana
