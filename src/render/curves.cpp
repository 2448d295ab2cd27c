#include "render/curves.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "plot/range_fields.h"
#include "render/aa_line.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

// Stands for a position that cannot be computed: far outside the plot.
constexpr long double kFar = 3000;

// (v - min) * (span - 1) / d, or kFar when that is no finite number.
long double quotient(long double v, long double min, int span, long double d) {
  const long double q = (v - min) * (span - 1) / d;
  return std::isfinite(q) ? q : kFar;
}

// The same, rounded to a whole pixel; kFar also when it fits no integer.
long double roundedQuotient(long double v, long double min, int span, long double d) {
  const long double q = quotient(v, min, span, d);
  // llrint rounds halves to even in the default mode, without the library's
  // costly save and restore of the floating-point environment in nearbyintl.
  return std::fabs(q) < 9.2e18L ? static_cast<long double>(std::llrint(q)) : kFar;
}

// Positions outside the two-pixel tolerance bands move far away, so tests
// against the plot area stay simple: before the first band to 0, past the
// last one to extent + 40.
long double code(long double v, int extent) {
  if (v < 18) return 0;
  if (v > extent + 21) return extent + 40;
  return v;
}

// A position within a tolerance band is drawn on the edge.
long double snap(long double v, int extent) {
  if (v >= 18 && v < 20) return 20;
  if (v > extent + 19 && v <= extent + 21) return extent + 19;
  return v;
}

bool inside(long double v, int extent) {
  return v >= 20 && v <= extent + 19;
}

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

// Dark- and white-scheme blends and the half-pixel shifted third blend.
void antialiasedSegment(const PlotState& s, Canvas& canvas, long double x1, long double y1,
                        long double x2, long double y2) {
  const auto d = [](long double v) { return static_cast<double>(v); };
  aaline(canvas, d(x1), d(y1), d(x2), d(y2));
  if (!isOn(s.optWhiteBack)) aaline(canvas, d(x1), d(y1), d(x2), d(y2));
  if (isOn(s.optThick)) aaline(canvas, d(x1 + 0.5L), d(y1 + 0.5L), d(x2 + 0.5L), d(y2 + 0.5L));
}

}  // namespace

void fillcol(RenderContext& context, Canvas& canvas, int i, int& p) {
  const PlotState& s = context.state;
  const int h = s.plotHeight;
  const int x = i + kMargin;
  const Color dark = isOn(s.optDarkNegative) ? s.curveColorDark : s.curveColor;
  if (s.yMin < 0 && 0 < s.yMax) {
    p = std::clamp(p, kMargin, h + kMargin - 1);
    if (p > s.xAxisRow) {
      canvas.pen.color = dark;
      seg(canvas, x, s.xAxisRow, x, p + 1);
    }
    canvas.pen.color = s.curveColor;
    if (p < s.xAxisRow) seg(canvas, x, s.xAxisRow, x, p - 1);
  } else {
    if (s.yMin >= 0) {  // down to the bottom edge
      if (p < kMargin) p = kMargin;
      if (p > h + kMargin - 1) p = h + kMargin;
      canvas.pen.color = s.curveColor;
      seg(canvas, x, p, x, h + kMargin);
    }
    if (s.yMax <= 0) {  // up to the top edge
      if (p > h + kMargin - 1) p = h + kMargin - 1;
      if (p < kMargin) p = kMargin - 1;
      canvas.pen.color = dark;
      seg(canvas, x, p, x, kMargin - 1);
    }
  }
  canvas.pen.color = s.curveColor;
}

void plotcart(RenderContext& context) {
  PlotState& s = context.state;
  if (isOn(s.optAutoScale)) {
    fit(s.samplesA.data(), sampleCount(s.plotWidth), s.yMin, s.yMax);
    writeYRange(s, context.view, context.decimalSeparator);
    set2d(context);  // maps the curve with the range as the fields show it
  }
  const int w = sampleCount(s.plotWidth);
  const int h = s.plotHeight;
  const long double d = s.yMax - s.yMin;
  const bool filled = isOn(s.optFilled);
  const bool thick = isOn(s.optThick);
  const bool darkNegative = isOn(s.optDarkNegative);
  const auto colorOf = [&](long double v) {
    return v < 0 && darkNegative ? s.curveColorDark : s.curveColor;
  };
  Canvas canvas(context.image);
  canvas.pen = Pen{s.curveColor, 1, PenStyle::kSolid};

  if (!isOn(s.optLines)) {
    if (d == 0) return;
    for (int i = 0; i < w; ++i) {
      const long double v = s.samplesA[static_cast<std::size_t>(i)];
      int p = roundToInt(code((h + kMargin) - roundedQuotient(v, s.yMin, h, d) - 1, h));
      if (filled) fillcol(context, canvas, i, p);
      if (p < kMargin || p > h + kMargin - 1) continue;
      const int x = i + kMargin;
      if (thick && !filled) {
        context.image.fillRect(x, p, x + 2, p + 2, colorOf(v));
      } else {
        context.image.setPixel(x, p, colorOf(v));
      }
    }
    return;
  }

  canvas.pen.width = thick && !filled ? 2 : 1;
  const auto rowOf = [&](long double v) {
    return code((h + kMargin) - quotient(v, s.yMin, h, d) - 1, h);
  };
  long double previous = rowOf(s.samplesA[0]);
  if (filled) {
    int p = roundToInt(previous);
    fillcol(context, canvas, 0, p);
  }
  if (d == 0) return;
  for (int i = 1; i < w; ++i) {
    const long double v = s.samplesA[static_cast<std::size_t>(i)];
    long double r = rowOf(v);
    if (filled) {
      int p = roundToInt(r);
      fillcol(context, canvas, i, p);
    }
    r = snap(r, h);
    previous = snap(previous, h);
    if (inside(r, h) && inside(previous, h)) {
      if (isOn(s.optAntialias)) {
        if (filled && darkNegative) canvas.pen.color = colorOf(v);
        antialiasedSegment(s, canvas, i + kMargin - 1, previous, i + kMargin, r);
        canvas.pen.color = s.curveColor;
      } else {
        canvas.pen.color = colorOf(v);
        seg(canvas, i + kMargin - 1, roundToInt(previous), i + kMargin, roundToInt(r));
      }
    }
    previous = r;
  }
}

void plotpar(RenderContext& context) {
  PlotState& s = context.state;
  if (isOn(s.optAutoScale)) {
    fit(s.samplesB.data(), sampleCount(s.zCount), s.yMin, s.yMax);
    writeYRange(s, context.view, context.decimalSeparator);
    fit(s.samplesA.data(), sampleCount(s.zCount), s.xMin, s.xMax);
    writeXRange(s, context.view, context.decimalSeparator);
    set2d(context);  // maps the points with the ranges as the fields show them
  }
  const int n = sampleCount(s.zCount);
  const int w = s.plotWidth;
  const int h = s.plotHeight;
  const long double dx = s.xMax - s.xMin;
  const long double dy = s.yMax - s.yMin;
  Canvas canvas(context.image);
  canvas.pen = Pen{s.curveColor, isOn(s.optThick) ? 2 : 1, PenStyle::kSolid};

  if (!isOn(s.optLines)) {
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const int p =
          roundToInt(code((h + kMargin) - roundedQuotient(s.samplesB[k], s.yMin, h, dy) - 1, h));
      const int q = roundToInt(code(kMargin + roundedQuotient(s.samplesA[k], s.xMin, w, dx), w));
      if (p < kMargin || p > h + kMargin - 1 || q < kMargin || q > w + kMargin - 1) continue;
      if (isOn(s.optThick)) {
        context.image.fillRect(q, p, q + 2, p + 2, s.curveColor);
      } else {
        context.image.setPixel(q, p, s.curveColor);
      }
    }
    return;
  }

  const auto rowOf = [&](std::size_t k) {
    return code((h + kMargin) - quotient(s.samplesB[k], s.yMin, h, dy) - 1, h);
  };
  const auto columnOf = [&](std::size_t k) {
    return code(kMargin + quotient(s.samplesA[k], s.xMin, w, dx), w);
  };
  long double rowPrevious = rowOf(0);
  long double columnPrevious = columnOf(0);
  for (int i = 1; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    long double r = snap(rowOf(k), h);
    rowPrevious = snap(rowPrevious, h);
    long double c = snap(columnOf(k), w);
    columnPrevious = snap(columnPrevious, w);
    if (inside(r, h) && inside(rowPrevious, h) && inside(c, w) && inside(columnPrevious, w)) {
      if (isOn(s.optAntialias)) {
        antialiasedSegment(s, canvas, columnPrevious, rowPrevious, c, r);
      } else {
        seg(canvas, roundToInt(columnPrevious), roundToInt(rowPrevious), roundToInt(c),
            roundToInt(r));
      }
    }
    rowPrevious = r;
    columnPrevious = c;
  }
}

}  // namespace kurvana
