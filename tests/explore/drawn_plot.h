// A plot drawn as values, for the explore commands to work on: the ranges
// set, the empty plot painted as the Draw paints it and the state keeping
// its size and axes, without a window or the formula engine.
#pragma once

#include <gtest/gtest.h>

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
    const PlotFrame frame = paintEmptyPlot(c, plotImageSize(kWindow));
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

  static constexpr Size kWindow{600 + 240, 400 + 140};  // for a plot of 600 x 400

  std::unique_ptr<PlotState> state = std::make_unique<PlotState>();
  PlotState& s = *state;
  std::unique_ptr<ExploreState> exploreState = std::make_unique<ExploreState>();
  ExploreState& explore = *exploreState;
  Bitmap image;
};

}  // namespace kurvana::testing
