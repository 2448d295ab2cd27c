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
  const int x = i + kMargin;
  const Color dark = isOn(s.optDarkNegative) ? s.curveColorDark : s.curveColor;
  if (s.yMin < 0 && 0 < s.yMax) {
    p = std::clamp(p, kMargin, h + kMargin - 1);
    if (p > s.xAxisRow) painter.fillSpan(x, s.xAxisRow, p, dark);
    if (p < s.xAxisRow) painter.fillSpan(x, p, s.xAxisRow, s.curveColor);
  } else {
    if (s.yMin >= 0) {  // down to the bottom edge
      if (p < kMargin) p = kMargin;
      if (p > h + kMargin - 1) p = h + kMargin;
      if (p < h + kMargin) painter.fillSpan(x, p, h + kMargin - 1, s.curveColor);
    }
    if (s.yMax <= 0) {  // up to the top edge
      if (p > h + kMargin - 1) p = h + kMargin - 1;
      if (p < kMargin) p = kMargin - 1;
      if (p >= kMargin) painter.fillSpan(x, kMargin, p, dark);
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
  RasterPainter painter(context.image, context.artwork, context.text);
  traceCartesianCurve(context.state, values, pass, painter);
}

void traceCartesianCurve(const PlotState& s, const Samples& values, CurvePass pass,
                         PlotPainter& painter) {
  const bool preview = pass == CurvePass::kPreview;
  const int w = sampleCount(s.plotWidth);
  if (preview && w == 0) return;
  const int h = s.plotHeight;
  const PlotGeometry g = plotGeometry(s);
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
    int k = static_cast<int>(kFarPosition);
    if (!nearestPixel(g.rowOffset(v), k)) k = static_cast<int>(kFarPosition);
    return static_cast<int>(g.imageRowFromBottom(k));
  };
  if (!isOn(s.optLines)) {
    if (d == 0) return;
    for (int i = 0; i < w; ++i) {
      if (gap(i)) continue;
      const long double v = at(i);
      int p = preview ? previewRow(v)
                      : roundToInt(parkBeyondBands(g.imageRow(roundedOrFar(g.rowOffset(v))), h));
      if (filled) fillColumn(s, painter, i, p);
      if (!insidePlot(p, h)) continue;
      painter.dot(i + kMargin, p, thick && !filled ? 2 : 1, colorOf(v));
    }
    return;
  }

  const int width = thick && !filled ? 2 : 1;
  const auto rowOf = [&](long double v) -> long double {
    if (preview) return previewRow(v);
    return parkBeyondBands(g.imageRow(finiteOrFar(g.rowOffset(v))), h);
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
    r = snapToEdge(r, h);
    previous = snapToEdge(previous, h);
    if (insidePlot(r, h) && insidePlot(previous, h)) {
      if (antialias) {
        painter.smoothSegment(i + kMargin - 1, previous, i + kMargin, r,
                              filled && darkNegative ? colorOf(v) : s.curveColor, dense, thick);
      } else {
        painter.segment(i + kMargin - 1, roundToInt(previous), i + kMargin, roundToInt(r), width,
                        colorOf(v));
      }
    }
    previous = r;
  }
}

void paintPointCurve(RenderContext& context, const Samples& xs, const Samples& ys, CurvePass pass) {
  RasterPainter painter(context.image, context.artwork, context.text);
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
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      if (gap(k)) continue;
      const int p = roundToInt(parkBeyondBands(g.imageRow(roundedOrFar(g.rowOffset(ys[k]))), h));
      const int q =
          roundToInt(parkBeyondBands(g.imageColumn(roundedOrFar(g.columnOffset(xs[k]))), w));
      if (!insidePlot(p, h) || !insidePlot(q, w)) continue;
      painter.dot(q, p, width, s.curveColor);
    }
    return;
  }

  if (preview && n == 0) return;
  // The preview's rows take the other arithmetic of the row form.
  const auto rowOf = [&](std::size_t k) {
    if (gap(k)) return kFarPosition;
    const long double offset = finiteOrFar(g.rowOffset(ys[k]));
    return parkBeyondBands(preview ? g.imageRowFromBottom(offset) : g.imageRow(offset), h);
  };
  const auto columnOf = [&](std::size_t k) {
    if (gap(k)) return parkBeyondBands(kFarPosition, w);
    return parkBeyondBands(g.imageColumn(finiteOrFar(g.columnOffset(xs[k]))), w);
  };
  const bool antialias = !preview && isOn(s.optAntialias);
  long double rowPrevious = rowOf(0);
  long double columnPrevious = columnOf(0);
  for (int i = 1; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    long double r = snapToEdge(rowOf(k), h);
    rowPrevious = snapToEdge(rowPrevious, h);
    long double c = snapToEdge(columnOf(k), w);
    columnPrevious = snapToEdge(columnPrevious, w);
    if (insidePlot(r, h) && insidePlot(rowPrevious, h) && insidePlot(c, w) &&
        insidePlot(columnPrevious, w)) {
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
