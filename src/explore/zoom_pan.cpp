#include "explore/zoom_pan.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "explore/cursor_readout.h"
#include "render/curves.h"
#include "render/plot_geometry.h"

namespace kurvana {
namespace {

constexpr long double kZoomFactor = 2;

// Moves both ranges by the pointer's motion since the last step: dragging
// right shows smaller x, dragging down larger y.
void shiftRanges(PlotState& s, ExploreState& explore, int x, int y, bool moveY) {
  const PlotGeometry g = plotGeometry(s);
  const long double dx = g.xDistance(-(static_cast<long double>(x) - explore.lastMouseX));
  const long double dy = g.yDistance(static_cast<long double>(y) - explore.lastMouseY);
  explore.lastMouseX = x;
  explore.lastMouseY = y;
  s.xMin += dx;
  s.xMax += dx;
  if (moveY) {
    s.yMin += dy;
    s.yMax += dy;
  }
}

bool cartesian(const PlotState& s) {
  return !isOn(s.optTwoFunctions) && !isOn(s.optPolar);
}

}  // namespace

std::optional<ZoomedRange> zoomRange(const PlotState& s, ZoomDirection direction, Keys keys) {
  if (!s.plotValid) return std::nullopt;
  const bool in = direction == ZoomDirection::kIn;
  const auto scale = [&](long double v) { return in ? v / kZoomFactor : v * kZoomFactor; };
  const bool yAxis = keys.any();
  const long double min = yAxis ? s.yMin : s.xMin;
  const long double max = yAxis ? s.yMax : s.xMax;
  // A range that would leave the extended numbers stays as it is rather than
  // turning into a field the Draw cannot read.
  if (!std::isfinite(scale(min)) || !std::isfinite(scale(max))) return std::nullopt;
  return ZoomedRange{yAxis, scale(min), scale(max)};
}

PlotPress plotPointerPressed(RenderContext& context, ExploreState& explore, MouseButton button,
                             int x, int y) {
  PlotState& s = context.state;
  if (button == MouseButton::kRight) {
    return s.plotValid ? PlotPress::kMenuEnabled : PlotPress::kMenuDisabled;
  }
  if (!s.plotValid) return PlotPress::kNothing;
  eraseCircle(s, context.image, explore);
  explore.panActive = true;
  explore.lastMouseX = explore.panStartX = x;
  explore.lastMouseY = explore.panStartY = y;
  return PlotPress::kPanStarted;
}

PanStep panRanges(PlotState& s, ExploreState& explore, int x, int y) {
  if (cartesian(s)) {
    const bool moveY = !isOn(s.optAutoScale);
    shiftRanges(s, explore, x, y, moveY);
    return PanStep{true, moveY};
  }
  if (isOn(s.optAutoScale)) return {};  // the ranges follow the curve, not the pointer
  shiftRanges(s, explore, x, y, true);
  return PanStep{true, true};
}

void paintPanPreview(RenderContext& context, ExploreState& explore, int x) {
  PlotState& s = context.state;
  if (cartesian(s)) {
    // The samples of the Draw before the drag, moved with the pointer.
    const int w = std::clamp(s.plotWidth, 0, kSampleCapacity);
    const long long shift = static_cast<long long>(x) - explore.panStartX;
    for (int i = 0; i < w; ++i) {
      const long long from = i - shift;
      explore.panSamplesA[static_cast<std::size_t>(i)] =
          from >= 0 && from <= w - 1 ? s.samplesA[static_cast<std::size_t>(from)] : noSample();
    }
    s.circleShown = false;
    paintCartesianCurve(context, explore.panSamplesA, CurvePass::kPreview);
    return;
  }
  const int n = std::clamp(s.zCount, 0, kSampleCapacity);
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const long double a = s.samplesA[k];
    const long double b = s.samplesB[k];
    explore.panSamplesA[k] = s.xMin <= a && a <= s.xMax ? a : noSample();
    explore.panSamplesB[k] = s.yMin <= b && b <= s.yMax ? b : noSample();
  }
  s.circleShown = false;
  paintPointCurve(context, explore.panSamplesA, explore.panSamplesB, CurvePass::kPreview);
}

bool plotPointerReleased(const PlotState& state, ExploreState& explore) {
  if (!explore.panActive) return false;
  // A drag always ends at the release, even when the plot went away during
  // it; otherwise later pointer moves would pan without a button held.
  explore.panActive = false;
  return state.plotValid;
}

}  // namespace kurvana
