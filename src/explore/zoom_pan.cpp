#include "explore/zoom_pan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "explore/cursor_readout.h"
#include "plot/range_fields.h"
#include "render/curves.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr long double kZoomFactor = 2;
constexpr int kOffPlot = 3000;  // a row offset that puts a point far outside the plot

// Moves both ranges by the pointer's motion since the last step: dragging
// right shows smaller x, dragging down larger y. Divisors are W and H.
void shiftRanges(RenderContext& context, ExploreState& explore, int x, int y, bool moveY) {
  PlotState& s = context.state;
  const long double dx =
      -(static_cast<long double>(x) - explore.lastMouseX) * (s.xMax - s.xMin) / s.plotWidth;
  const long double dy =
      (static_cast<long double>(y) - explore.lastMouseY) * (s.yMax - s.yMin) / s.plotHeight;
  explore.lastMouseX = x;
  explore.lastMouseY = y;
  s.xMin += dx;
  s.xMax += dx;
  writeXRange(s, context.view, context.decimalSeparator);
  if (moveY) {
    s.yMin += dy;
    s.yMax += dy;
    writeYRange(s, context.view, context.decimalSeparator);
  }
  set2d(context);
}

void dragStep(RenderContext& context, ExploreState& explore, int x, int y) {
  PlotState& s = context.state;
  if (!isOn(s.optTwoFunctions) && !isOn(s.optPolar)) {
    shiftRanges(context, explore, x, y, !isOn(s.optAutoScale));
    // The samples of the Draw before the drag, moved with the pointer.
    const int w = std::clamp(s.plotWidth, 0, kSampleCapacity);
    const long long shift = static_cast<long long>(x) - explore.panStartX;
    for (int i = 0; i < w; ++i) {
      const long long from = i - shift;
      explore.panSamplesA[static_cast<std::size_t>(i)] =
          from >= 0 && from <= w - 1 ? s.samplesA[static_cast<std::size_t>(from)] : noSample();
    }
    s.circleShown = false;
    paintPanCartesian(context, explore);
    return;
  }
  if (isOn(s.optAutoScale)) return;  // the ranges follow the curve, not the pointer
  shiftRanges(context, explore, x, y, true);
  const int n = std::clamp(s.zCount, 0, kSampleCapacity);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const long double a = s.samplesA[k];
    const long double b = s.samplesB[k];
    explore.panSamplesA[k] = s.xMin <= a && a <= s.xMax ? a : noSample();
    explore.panSamplesB[k] = s.yMin <= b && b <= s.yMax ? b : noSample();
  }
  s.circleShown = false;
  paintPanParametric(context, explore);
}

}  // namespace

bool zoomRange(RenderContext& context, ZoomDirection direction, Keys keys) {
  PlotState& s = context.state;
  if (!s.plotValid) {
    context.view.beep();
    return false;
  }
  const bool in = direction == ZoomDirection::kIn;
  const auto scale = [&](long double v) { return in ? v / kZoomFactor : v * kZoomFactor; };
  const bool yAxis = keys.any();
  long double& min = yAxis ? s.yMin : s.xMin;
  long double& max = yAxis ? s.yMax : s.xMax;
  // A range that would leave the extended numbers stays as it is rather than
  // turning into a field the Draw cannot read.
  if (!std::isfinite(scale(min)) || !std::isfinite(scale(max))) {
    context.view.beep();
    return false;
  }
  min = scale(min);
  max = scale(max);
  if (yAxis) {
    writeYRange(s, context.view, context.decimalSeparator);
  } else {
    writeXRange(s, context.view, context.decimalSeparator);
  }
  return true;
}

PlotPress plotPointerPressed(RenderContext& context, ExploreState& explore, MouseButton button,
                             int x, int y) {
  PlotState& s = context.state;
  if (button == MouseButton::kRight) {
    return s.plotValid ? PlotPress::kMenuEnabled : PlotPress::kMenuDisabled;
  }
  if (!s.plotValid) {
    context.view.beep();
    return PlotPress::kNothing;
  }
  eraseCircle(s, context.image, explore);
  explore.panActive = true;
  explore.lastMouseX = explore.panStartX = x;
  explore.lastMouseY = explore.panStartY = y;
  return PlotPress::kPanStarted;
}

void plotPointerMoved(RenderContext& context, ExploreState& explore, Keys keys, int x, int y) {
  if (!context.state.plotValid) return;
  if (explore.panActive) {
    dragStep(context, explore, x, y);
  } else {
    readout(context, explore, keys, x, y);
  }
}

bool plotPointerReleased(const PlotState& state, ExploreState& explore) {
  if (!explore.panActive) return false;
  // A drag always ends at the release, even when the plot went away during
  // it; otherwise later pointer moves would pan without a button held.
  explore.panActive = false;
  return state.plotValid;
}

void paintPanCartesian(RenderContext& context, const ExploreState& explore) {
  const PlotState& s = context.state;
  const int w = std::clamp(s.plotWidth, 0, kSampleCapacity);
  const int h = s.plotHeight;
  const bool filled = isOn(s.optFilled);
  const bool thick = isOn(s.optThick);
  const bool darkNegative = isOn(s.optDarkNegative);
  const bool flat = s.yMax == s.yMin;
  const auto& v = explore.panSamplesA;
  const auto colorOf = [&](long double value) {
    return value < 0 && darkNegative ? s.curveColorDark : s.curveColor;
  };
  const auto rowOf = [&](long double value) {
    int k = kOffPlot;
    if (!nearestPixel((value - s.yMin) * (h - 1) / (s.yMax - s.yMin), k)) k = kOffPlot;
    return h + kMargin - 1 - k;
  };
  Canvas canvas(context.image);
  canvas.pen = Pen{s.curveColor, 1, PenStyle::kSolid};
  if (w == 0) return;

  if (!isOn(s.optLines)) {
    for (int i = 0; i < w; ++i) {
      const long double value = v[static_cast<std::size_t>(i)];
      if (isNoSample(value) || flat) continue;
      int row = rowOf(value);
      if (filled) fillcol(context, canvas, i, row);
      if (row < kMargin || row > h + kMargin - 1) continue;
      const int x = i + kMargin;
      if (thick && !filled) {
        context.image.fillRect(x, row, x + 2, row + 2, colorOf(value));
      } else {
        context.image.setPixel(x, row, colorOf(value));
      }
    }
    return;
  }

  canvas.pen.width = thick && !filled ? 2 : 1;
  // Rows in the two-pixel bands beside the plot are drawn on its edge.
  const auto pull = [&](int& row) {
    if (row == kMargin - 2 || row == kMargin - 1) row = kMargin;
    if (row == h + kMargin || row == h + kMargin + 1) row = h + kMargin - 1;
  };
  const auto inside = [&](int row) { return row >= kMargin && row <= h + kMargin - 1; };
  int previous = rowOf(v[0]);
  if (filled && !isNoSample(v[0])) fillcol(context, canvas, 0, previous);
  for (int i = 1; i < w; ++i) {
    const long double value = v[static_cast<std::size_t>(i)];
    if (isNoSample(value) || flat) continue;
    int row = rowOf(value);
    if (isNoSample(v[static_cast<std::size_t>(i - 1)])) {
      previous = row;  // the first column after a gap is neither filled nor joined
      continue;
    }
    if (filled) fillcol(context, canvas, i, row);
    pull(row);
    pull(previous);
    canvas.pen.color = colorOf(value);
    if (inside(row) && inside(previous)) seg(canvas, i + kMargin - 1, previous, i + kMargin, row);
    previous = row;
  }
}

void paintPanParametric(RenderContext& context, const ExploreState& explore) {
  const PlotState& s = context.state;
  const int n = std::clamp(s.zCount, 0, kSampleCapacity);
  const int w = s.plotWidth;
  const int h = s.plotHeight;
  struct Position {
    long double column = 0;
    long double row = 0;
  };
  // The real position of point i; false when it has no point or no position.
  const auto positionOf = [&](int i, Position& p) {
    const auto k = static_cast<std::size_t>(i);
    const long double a = explore.panSamplesA[k];
    const long double b = explore.panSamplesB[k];
    if (isNoSample(a) || isNoSample(b)) return false;
    p.column = kMargin + (a - s.xMin) * (w - 1) / (s.xMax - s.xMin);
    p.row = h + kMargin - 1 - (b - s.yMin) * (h - 1) / (s.yMax - s.yMin);
    return std::isfinite(p.column) && std::isfinite(p.row);
  };
  Canvas canvas(context.image);
  canvas.pen = Pen{s.curveColor, isOn(s.optThick) ? 2 : 1, PenStyle::kSolid};

  if (!isOn(s.optLines)) {
    for (int i = 0; i < n; ++i) {
      const auto k = static_cast<std::size_t>(i);
      const long double a = explore.panSamplesA[k];
      const long double b = explore.panSamplesB[k];
      if (isNoSample(a) || isNoSample(b)) continue;
      int qx = 0;
      int qy = 0;
      if (!nearestPixel((a - s.xMin) * (w - 1) / (s.xMax - s.xMin), qx) ||
          !nearestPixel((b - s.yMin) * (h - 1) / (s.yMax - s.yMin), qy)) {
        continue;
      }
      const int x = kMargin + qx;
      const int y = h + kMargin - 1 - qy;
      if (isOn(s.optThick)) {
        context.image.fillRect(x, y, x + 2, y + 2, s.curveColor);
      } else {
        context.image.setPixel(x, y, s.curveColor);
      }
    }
    return;
  }

  if (n == 0) return;
  Position previous;
  bool previousPresent = positionOf(0, previous);
  for (int i = 1; i < n; ++i) {
    Position p;
    const bool present = positionOf(i, p);
    if (!present) {
      previousPresent = false;
      continue;
    }
    if (previousPresent) {
      int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
      if (nearestPixel(previous.column, x1) && nearestPixel(previous.row, y1) &&
          nearestPixel(p.column, x2) && nearestPixel(p.row, y2)) {
        seg(canvas, x1, y1, x2, y2);
      }
    }
    previous = p;
    previousPresent = true;
  }
}

}  // namespace kurvana
