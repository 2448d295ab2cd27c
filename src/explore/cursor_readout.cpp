#include "explore/cursor_readout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "plot/number_format.h"
#include "render/artwork.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr int kRingReach = kRingSize / 2;  // pixels from the ring's centre to its edge
constexpr Color kRingTransparent = 0x000000;

std::string labelText(long double v, std::string_view separator) {
  return "= " + formatGeneral(v, separator);
}

void placeCircle(RenderContext& context, ExploreState& explore, int cx, int cy) {
  explore.circleRect = Rect{cx - kRingReach, cy - kRingReach, cx + kRingReach + 1,
                            cy + kRingReach + 1};
  explore.circleBacking.copyRect(context.image, cx - kRingReach, cy - kRingReach, kRingSize,
                                 kRingSize, 0, 0);
  context.image.drawTransparent(cx - kRingReach, cy - kRingReach, context.artwork.cercmic,
                                kRingTransparent);
  context.state.circleShown = true;
}

// The pixel column under the pointer selects the sample.
void columnReadout(RenderContext& context, ExploreState& explore, int x) {
  PlotState& s = context.state;
  PlotView& view = context.view;
  const int w = std::min(s.plotWidth, kSampleCapacity);
  const int h = s.plotHeight;
  const int c = x - kMargin;
  if (w < 2 || c < 0 || c > w - 1) return;
  const auto& v = s.samplesA;
  const auto at = [&](int i) { return v[static_cast<std::size_t>(i)]; };

  view.setLabel(Label::kReadoutX,
                labelText((s.xMax - s.xMin) * c / (w - 1) + s.xMin, context.decimalSeparator));
  view.setLabel(Label::kReadoutF, labelText(at(c), context.decimalSeparator));

  // Four sample spacings around c; near the ends fewer differences are summed
  // while the divisor stays 4h.
  long double sum = 0;
  for (int k = -2; k <= 1; ++k) {
    if (c + k >= 0 && c + k + 1 <= w - 1) sum += at(c + k + 1) - at(c + k);
  }
  const long double step = (s.xMax - s.xMin) / (w - 1);
  const long double derivative = sum / step / 4;
  view.setLabel(Label::kReadoutDerivative, step != 0 && std::isfinite(derivative)
                                               ? labelText(derivative, context.decimalSeparator)
                                               : "= E");

  if (!isOn(s.optCircle)) return;
  long double row = -10;  // off the plot: the old ring goes, no new one comes
  if (s.yMin <= at(c) && at(c) <= s.yMax) {
    row = (h - 1) - (at(c) - s.yMin) * (h - 1) / (s.yMax - s.yMin);
  }
  eraseCircle(s, context.image, explore);
  int cy = 0;
  if (nearestPixel(row + kMargin, cy) && cy >= kMargin && cy <= h + kMargin - 1) {
    placeCircle(context, explore, x, cy);
  }
}

// Each move steps the marker along the points of the curve.
void walkReadout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y) {
  PlotState& s = context.state;
  PlotView& view = context.view;
  const int n = std::clamp(s.zCount, 1, kSampleCapacity);

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

  if (!isOn(s.optCircle)) {
    view.setLabel(Label::kReadoutX, "= 0");
    view.setLabel(Label::kReadoutF, "= 0");
    view.setLabel(Label::kReadoutDerivative, "= 0");
    return;
  }

  const int i = explore.walkIndex;
  const long double a = s.samplesA[static_cast<std::size_t>(i)];
  const long double b = s.samplesB[static_cast<std::size_t>(i)];
  eraseCircle(s, context.image, explore);
  if (s.xMin <= a && a <= s.xMax && s.yMin <= b && b <= s.yMax) {
    int column = 0;
    int row = 0;
    if (nearestPixel((a - s.xMin) * (s.plotWidth - 1) / (s.xMax - s.xMin), column) &&
        nearestPixel((b - s.yMin) * (s.plotHeight - 1) / (s.yMax - s.yMin), row)) {
      placeCircle(context, explore, column + kMargin, (s.plotHeight - 1) - row + kMargin);
    }
  }

  const std::string_view sep = context.decimalSeparator;
  const long double t = i * (s.zMax - s.zMin) / (n - 1) + s.zMin;
  view.setLabel(Label::kReadoutX, labelText(t, sep));
  const bool two = isOn(s.optTwoFunctions);
  const bool polar = isOn(s.optPolar);
  if (two && !polar) {
    view.setLabel(Label::kReadoutF, labelText(a, sep));
    view.setLabel(Label::kReadoutDerivative, labelText(b, sep));
  } else if (two) {
    // The plotted points are F(t) cos t and G(t) sin t; a failing division shows 0.
    const auto quotient = [&](long double p, long double q) {
      const long double r = p / q;
      return std::isfinite(r) ? labelText(r, sep) : std::string("= 0");
    };
    view.setLabel(Label::kReadoutF, quotient(a, std::cos(t)));
    view.setLabel(Label::kReadoutDerivative, quotient(b, std::sin(t)));
  } else {
    const long double distance = std::sqrt(a * a + b * b);
    view.setLabel(Label::kReadoutF, std::isfinite(distance) ? labelText(distance, sep) : "= E");
  }
}

}  // namespace

void eraseCircle(PlotState& state, Bitmap& image, ExploreState& explore) {
  if (!state.circleShown) return;
  image.copyRect(explore.circleBacking, 0, 0, kRingSize, kRingSize, explore.circleRect.left,
                 explore.circleRect.top);
  state.circleShown = false;
}

void readout(RenderContext& context, ExploreState& explore, Keys keys, int x, int y) {
  if (!isOn(context.state.optTwoFunctions) && !isOn(context.state.optPolar)) {
    columnReadout(context, explore, x);
  } else {
    walkReadout(context, explore, keys, x, y);
  }
}

}  // namespace kurvana
