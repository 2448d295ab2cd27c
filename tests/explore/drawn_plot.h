// A plot drawn as values, for the explore commands to work on: the ranges
// set, the empty plot painted as the Draw paints it and the state keeping
// its size and axes, samples put in as a Draw leaves them, without a window
// or the formula engine; and counts of the cursor ring's pixels.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <memory>

#include "explore/exploration.h"
#include "plot/fields.h"
#include "plot/plot_state.h"
#include "render/artwork.h"
#include "render/bitmap.h"
#include "render/curves.h"
#include "render/plot_frame.h"
#include "render/render_context.h"

namespace kurvana::testing {

class DrawnPlot : public ::testing::Test {
 protected:
  // x from 0 to 10, y from -5 to 5 on a plot of 600 x 400 pixels.
  void SetUp() override {
    s.xMin = 0;
    s.xMax = 10;
    s.yMin = -5;
    s.yMax = 5;
    s.zMin = 0;
    s.zMax = 10;
    s.zCount = 1000;
  }

  RenderContext context() { return RenderContext{s, image, artwork(), nullptr, "."}; }

  // The scheme and the empty plot for the state's ranges, kept in the state
  // as the window keeps it.
  void emptyPlot() {
    s.circleShown = false;
    applyColourScheme(s);
    RenderContext c = context();
    const PlotFrame frame = paintEmptyPlot(c, plotImageSize(window));
    s.plotWidth = frame.geometry.width;
    s.plotHeight = frame.geometry.height;
    s.yAxisColumn = frame.yAxisColumn;
    s.xAxisRow = frame.xAxisRow;
  }

  // The Cartesian curve of f, one sample per column from x min to x max,
  // painted over the empty plot: what a Draw leaves behind.
  template <typename F>
  void drawCartesian(F f) {
    emptyPlot();
    const int w = s.plotWidth;
    for (int i = 0; i < w; ++i) {
      s.samplesA[static_cast<std::size_t>(i)] = f(s.xMin + i * (s.xMax - s.xMin) / (w - 1));
    }
    RenderContext c = context();
    paintCartesianCurve(c, s.samplesA, CurvePass::kDraw);
    s.plotValid = true;
  }

  // The points (F(t), G(t)) for zCount parameter values from z min to z max,
  // (F(t) cos t, G(t) sin t) in polar mode, painted over the empty plot.
  template <typename F, typename G>
  void drawPoints(F f, G g) {
    emptyPlot();
    const int n = s.zCount;
    const bool polar = isOn(s.optPolar);
    for (int i = 0; i < n; ++i) {
      const long double t = s.zMin + i * ((s.zMax - s.zMin) / (n - 1));
      const auto k = static_cast<std::size_t>(i);
      s.samplesA[k] = polar ? f(t) * std::cos(t) : f(t);
      s.samplesB[k] = polar ? g(t) * std::sin(t) : g(t);
    }
    RenderContext c = context();
    paintPointCurve(c, s.samplesA, s.samplesB, CurvePass::kDraw);
    s.plotValid = true;
  }

  // The main window for a plot of w x h pixels.
  void plotSize(int w, int h) { window = Size{w + 240, h + 140}; }

  // The curve's pixels in image column x (plot rows only), and the first row
  // holding one.
  int curvePixels(int x) const {
    int n = 0;
    for (int y = 20; y < s.plotHeight + 20; ++y) {
      const Color c = image.pixel(x, y);
      n += c == s.curveColor || c == s.curveColorDark ? 1 : 0;
    }
    return n;
  }
  int curveRow(int x) const {
    for (int y = 20; y < s.plotHeight + 20; ++y) {
      const Color c = image.pixel(x, y);
      if (c == s.curveColor || c == s.curveColorDark) return y;
    }
    return -1;
  }

  Size window{600 + 240, 400 + 140};

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
  std::unique_ptr<ExploreState> exploreState = std::make_unique<ExploreState>();
  ExploreState& explore = *exploreState;
  Bitmap image;
};

inline constexpr Color kRingColor = 0x002987;  // RGB (135, 41, 0)

// Pixels of the ring picture within the 15 x 15 area centred on (cx, cy).
inline int ringPixelsAround(const Bitmap& image, int cx, int cy) {
  int n = 0;
  for (int y = cy - 7; y <= cy + 7; ++y) {
    for (int x = cx - 7; x <= cx + 7; ++x) n += image.pixel(x, y) == kRingColor ? 1 : 0;
  }
  return n;
}

inline int ringPixels(const Bitmap& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == kRingColor ? 1 : 0;
  }
  return n;
}

inline bool samePixels(const Bitmap& a, const Bitmap& b) {
  if (a.width() != b.width() || a.height() != b.height()) return false;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (a.pixel(x, y) != b.pixel(x, y)) return false;
    }
  }
  return true;
}

}  // namespace kurvana::testing
