#include "explore/cursor_readout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/number_format.h"
#include "render/artwork.h"
#include "render/plot_geometry.h"

namespace kurvana {
namespace {

constexpr Color kRingTransparent = 0x000000;

std::string labelText(long double v, std::string_view separator) {
  return "= " + formatGeneral(v, separator);
}

// The ring is kRingSize window pixels across at scale 1 and as many device
// pixels as the artwork of the scale gives otherwise.
void placeCircle(RenderContext& context, ExploreState& explore, Readout& shown, int cx, int cy) {
  const Bitmap& ring = context.artwork.cursorRing;
  const int side = ring.width();
  const int reach = side / 2;  // pixels from the ring's centre to its left and top edge
  explore.circleRect = Rect{cx - reach, cy - reach, cx - reach + side, cy - reach + side};
  if (explore.circleBacking.width() != side) explore.circleBacking.reset(side, side, 0);
  explore.circleBacking.copyRect(context.image, cx - reach, cy - reach, side, side, 0, 0);
  context.image.drawTransparent(cx - reach, cy - reach, ring, kRingTransparent);
  context.state.circleShown = true;
  shown.ring = Point{cx, cy};
}

// The pixel column under the pointer selects the sample.
Readout columnReadout(RenderContext& context, ExploreState& explore, int x) {
  PlotState& s = context.state;
  Readout shown;
  const int w = std::min(s.plotWidth, kSampleCapacity);
  const int h = s.plotHeight;
  const PlotGeometry g = plotGeometry(s);
  const int m = g.margin();
  const int c = x - m;
  if (w < 2 || c < 0 || c > w - 1) return shown;
  explore.traceColumn = c;
  const auto& v = s.samplesA;
  const auto at = [&](int i) { return v[static_cast<std::size_t>(i)]; };

  shown.x = labelText(g.xAt(c), context.decimalSeparator);
  shown.f = labelText(at(c), context.decimalSeparator);

  // Four sample spacings around c; near the ends fewer differences are summed
  // while the divisor stays 4h.
  long double sum = 0;
  for (int k = -2; k <= 1; ++k) {
    if (c + k >= 0 && c + k + 1 <= w - 1) sum += at(c + k + 1) - at(c + k);
  }
  const long double step = g.xStep();
  const long double derivative = sum / step / 4;
  shown.derivative = step != 0 && std::isfinite(derivative)
                         ? labelText(derivative, context.decimalSeparator)
                         : "= E";

  if (!isOn(s.optCircle)) return shown;
  long double row = -10;  // off the plot: the old ring goes, no new one comes
  if (s.yMin <= at(c) && at(c) <= s.yMax) {
    row = g.plotRowFromTop(g.rowOffset(at(c)));
  }
  eraseCircle(s, context.image, explore);
  int cy = 0;
  if (nearestPixel(row + m, cy) && cy >= m && cy <= h + m - 1) {
    placeCircle(context, explore, shown, x, cy);
  }
  return shown;
}

int walkLength(const PlotState& s) {
  return std::clamp(s.zCount, 1, kSampleCapacity);
}

// The readout at the walk's current point (walkIndex within 0 .. N - 1).
Readout walkPoint(RenderContext& context, ExploreState& explore) {
  PlotState& s = context.state;
  Readout shown;
  const int n = walkLength(s);
  if (!isOn(s.optCircle)) {
    shown.x = shown.f = shown.derivative = "= 0";
    return shown;
  }

  const int i = explore.walkIndex;
  const long double a = s.samplesA[static_cast<std::size_t>(i)];
  const long double b = s.samplesB[static_cast<std::size_t>(i)];
  eraseCircle(s, context.image, explore);
  if (s.xMin <= a && a <= s.xMax && s.yMin <= b && b <= s.yMax) {
    const PlotGeometry g = plotGeometry(s);
    int column = 0;
    int row = 0;
    if (nearestPixel(g.columnOffset(a), column) && nearestPixel(g.rowOffset(b), row)) {
      placeCircle(context, explore, shown, column + g.margin(),
                  (s.plotHeight - 1) - row + g.margin());
    }
  }

  const std::string_view sep = context.decimalSeparator;
  const long double t = i * (s.zMax - s.zMin) / (n - 1) + s.zMin;
  shown.x = labelText(t, sep);
  const bool two = isOn(s.optTwoFunctions);
  const bool polar = isOn(s.optPolar);
  if (two && !polar) {
    shown.f = labelText(a, sep);
    shown.derivative = labelText(b, sep);
  } else if (two) {
    // The plotted points are F(t) cos t and G(t) sin t; a failing division shows 0.
    const auto quotient = [&](long double p, long double q) {
      const long double r = p / q;
      return std::isfinite(r) ? labelText(r, sep) : std::string("= 0");
    };
    shown.f = quotient(a, std::cos(t));
    shown.derivative = quotient(b, std::sin(t));
  } else {
    const long double distance = std::sqrt(a * a + b * b);
    shown.f = std::isfinite(distance) ? labelText(distance, sep) : "= E";
  }
  return shown;
}

// Each move steps the marker along the points of the curve.
Readout walkReadout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y) {
  const int n = walkLength(context.state);
  if (x != explore.lastMouseX || y != explore.lastMouseY) {
    explore.walkIndex += keys.any() ? -explore.walkStep : explore.walkStep;
    explore.lastMouseX = x;
    explore.lastMouseY = y;
  }
  const auto flip = [&] { explore.walkStep = explore.walkStep == 1 ? -1 : 1; };
  if (explore.walkIndex > n - 1) {
    explore.walkIndex = n - 1;
    flip();
  }
  if (explore.walkIndex < 0) {
    explore.walkIndex = 0;
    flip();
  }

  return walkPoint(context, explore);
}

}  // namespace

void eraseCircle(PlotState& state, Bitmap& image, ExploreState& explore) {
  if (!state.circleShown) return;
  image.copyRect(explore.circleBacking, 0, 0, explore.circleBacking.width(),
                 explore.circleBacking.height(), explore.circleRect.left, explore.circleRect.top);
  state.circleShown = false;
}

Readout readout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y) {
  if (!isOn(context.state.optTwoFunctions) && !isOn(context.state.optPolar)) {
    return columnReadout(context, explore, x);
  }
  return walkReadout(context, explore, keys, x, y);
}

Readout traceReadout(RenderContext& context, ExploreState& explore, TraceMove move, int steps) {
  const PlotState& s = context.state;
  if (!isOn(s.optTwoFunctions) && !isOn(s.optPolar)) {
    const int w = std::min(s.plotWidth, kSampleCapacity);
    if (w < 2) return {};
    const int from = std::clamp(explore.traceColumn, 0, w - 1);
    int c = 0;
    switch (move) {
      case TraceMove::kBackward:
        c = explore.traceColumn < 0 ? (w - 1) / 2 : std::max(from - steps, 0);
        break;
      case TraceMove::kForward:
        c = explore.traceColumn < 0 ? (w - 1) / 2 : std::min(from + steps, w - 1);
        break;
      case TraceMove::kFirst:
        c = 0;
        break;
      case TraceMove::kLast:
        c = w - 1;
        break;
    }
    return columnReadout(context, explore, c + kMargin);
  }
  const int n = walkLength(s);
  const int from = std::clamp(explore.walkIndex, 0, n - 1);
  switch (move) {
    case TraceMove::kBackward:
      explore.walkIndex = std::max(from - steps, 0);
      break;
    case TraceMove::kForward:
      explore.walkIndex = std::min(from + steps, n - 1);
      break;
    case TraceMove::kFirst:
      explore.walkIndex = 0;
      break;
    case TraceMove::kLast:
      explore.walkIndex = n - 1;
      break;
  }
  return walkPoint(context, explore);
}

}  // namespace kurvana
