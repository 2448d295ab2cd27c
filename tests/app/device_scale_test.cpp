// The plot at a device scale through the controller: picture and plot sizes,
// the curve against the one at scale 1 enlarged, the readout, the ring and
// the pan drag in device pixels, and a scale change repainting the picture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/explore_fixture.h"
#include "explore/drawn_plot.h"
#include "plot/number_format.h"

namespace kurvana {
namespace {

using testing::ExploreTest;
using testing::samePixels;

// A plot of 600 x 400 window pixels (an image of 640 x 440).
class DeviceScale : public ExploreTest {
 protected:
  Bitmap drawAt(double scale, const std::string& f) {
    EXPECT_TRUE(controller->scaleChanged(scale).ok());
    EXPECT_EQ(draw(f), DrawOutcome::kDrawn);
    return app->image;
  }
};

TEST_F(DeviceScale, PictureIsTheImageScaledAndSampledPerDeviceColumn) {
  struct Case {
    double scale;
    int width;   // round(scale * 640)
    int height;  // round(scale * 440)
    int margin;
  };
  for (const Case c : {Case{1, 640, 440, 20}, Case{1.25, 800, 550, 25}, Case{1.5, 960, 660, 30},
                       Case{2, 1280, 880, 40}, Case{3, 1920, 1320, 60}}) {
    drawAt(c.scale, "F(x)=x");
    EXPECT_EQ(app->image.width(), c.width) << c.scale;
    EXPECT_EQ(app->image.height(), c.height) << c.scale;
    EXPECT_EQ(state().plotWidth, c.width - 2 * c.margin) << c.scale;
    EXPECT_EQ(state().plotHeight, c.height - 2 * c.margin) << c.scale;
    // The window still speaks window pixels.
    EXPECT_EQ(label(Label::kPlotSize), "= 600, 400") << c.scale;
    // One sample per device column: the last one is x max.
    EXPECT_EQ(state().samplesA[static_cast<std::size_t>(state().plotWidth - 1)], 10) << c.scale;
  }
}

TEST_F(DeviceScale, ScalesOutsideTheRangeAreKeptWithin) {
  EXPECT_TRUE(controller->scaleChanged(0.5).ok());
  EXPECT_EQ(controller->scale(), 1);
  EXPECT_TRUE(controller->scaleChanged(std::numeric_limits<double>::quiet_NaN()).ok());
  EXPECT_EQ(controller->scale(), 1);
  EXPECT_TRUE(controller->scaleChanged(9).ok());
  EXPECT_EQ(controller->scale(), kMaxScale);
  // The largest plot at the largest scale still fits the sample buffers.
  view.window = Size{4000, 3000};
  EXPECT_EQ(draw("F(x)=x"), DrawOutcome::kDrawn);
  EXPECT_EQ(state().plotWidth, kSampleCapacity - 1);
  EXPECT_EQ(state().samplesA[static_cast<std::size_t>(kSampleCapacity - 2)], 10);
}

TEST_F(DeviceScale, ChangingTheScaleRepaintsAsAFreshDraw) {
  const Bitmap fresh = drawAt(2, "F(x)=sin(x)*x/3");
  drawAt(1, "F(x)=sin(x)*x/3");
  ASSERT_TRUE(controller->scaleChanged(2).ok());
  EXPECT_TRUE(state().plotValid);
  EXPECT_TRUE(samePixels(app->image, fresh));
  // The same scale again paints nothing.
  const int draws = view.compiledDraws();
  ASSERT_TRUE(controller->scaleChanged(2).ok());
  EXPECT_EQ(view.compiledDraws(), draws);
}

// Pixels of the curve's colours (the dark one below 0) on the plot area.
std::vector<std::vector<bool>> curvePixels(const Bitmap& b, const PlotState& s, int margin) {
  std::vector<std::vector<bool>> on(static_cast<std::size_t>(b.height()),
                                    std::vector<bool>(static_cast<std::size_t>(b.width())));
  for (int y = margin; y < margin + s.plotHeight; ++y) {
    for (int x = margin; x < margin + s.plotWidth; ++x) {
      on[y][x] = b.pixel(x, y) == s.curveColor || b.pixel(x, y) == s.curveColorDark;
    }
  }
  return on;
}

// The pixels of `a` whose square lies more than one pixel from every square
// of `b`: squares two apart along one axis leave a gap of one pixel between
// them, and so do neighbours; two apart along both leave more.
int farPixels(const std::vector<std::vector<bool>>& a, const std::vector<std::vector<bool>>& b) {
  int far = 0;
  const int h = static_cast<int>(a.size());
  const int w = static_cast<int>(a[0].size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (!a[y][x]) continue;
      bool near = false;
      for (int dy = -2; dy <= 2 && !near; ++dy) {
        for (int dx = -2; dx <= 2 && !near; ++dx) {
          if (std::abs(dx) == 2 && std::abs(dy) == 2) continue;
          const int u = x + dx;
          const int v = y + dy;
          near = u >= 0 && v >= 0 && u < w && v < h && b[v][u];
        }
      }
      far += near ? 0 : 1;
    }
  }
  return far;
}

TEST_F(DeviceScale, CurveAtTwoLiesWithinOnePixelOfTheCurveAtOneScaledUp) {
  for (const bool thick : {false, true}) {
    state().optLines = flagOn;
    state().optThick = thick ? flagOn : flagOff;
    const std::string f = "F(x)=sin(x)*x/3";
    const auto atOne = curvePixels(drawAt(1, f), state(), 20);
    const auto atTwo = curvePixels(drawAt(2, f), state(), 40);
    // Each window pixel of the curve at scale 1 as its 2 x 2 device pixels.
    auto scaledUp = atTwo;
    int count = 0;
    for (std::size_t y = 0; y < scaledUp.size(); ++y) {
      for (std::size_t x = 0; x < scaledUp[y].size(); ++x) {
        scaledUp[y][x] = atOne[y / 2][x / 2];
        count += atTwo[y][x] ? 1 : 0;
      }
    }
    ASSERT_GT(count, 1200) << thick;  // across the whole plot
    EXPECT_EQ(farPixels(atTwo, scaledUp), 0) << thick;
    EXPECT_EQ(farPixels(scaledUp, atTwo), 0) << thick;
  }
}

// A dot is the device square of its window pixel: side 2 at scale 2, its
// top-left corner on the point; thick dots have side 4.
TEST_F(DeviceScale, DotsAreSquaresOfTheScaledSide) {
  for (const bool thick : {false, true}) {
    state().optThick = thick ? flagOn : flagOff;
    const Bitmap b = drawAt(2, "F(x)=1");
    // y = 1 over -5 .. 5 on 800 rows: offset 479.4, row 840 - 1 - 479.
    const int row = 360;
    const int side = thick ? 4 : 2;
    for (int k = 0; k < side; ++k) {
      EXPECT_EQ(b.pixel(40 + k, row), state().curveColor) << thick << " " << k;
      EXPECT_EQ(b.pixel(40, row + k), state().curveColor) << thick << " " << k;
    }
    EXPECT_NE(b.pixel(40, row - 1), state().curveColor) << thick;
    EXPECT_NE(b.pixel(40, row + side), state().curveColor) << thick;
    EXPECT_EQ(b.pixel(39, row), state().gridColor) << thick;  // the frame
  }
}

// Filling paints each device column on its own, whatever the curve's pen:
// the frame beside the first column keeps its colour (below the arrowhead,
// which reaches over it as at scale 1).
TEST_F(DeviceScale, FilledColumnsStayOnThePlot) {
  state().optFilled = flagOn;
  state().optLines = flagOn;
  const Bitmap b = drawAt(2, "F(x)=4-x");
  int filled = 0;
  for (int y = 60; y < 840; ++y) {
    EXPECT_EQ(b.pixel(39, y), state().gridColor) << y;
    EXPECT_EQ(b.pixel(1240, y), state().gridColor) << y;  // and beside the last
    filled += b.pixel(40, y) == state().curveColor ? 1 : 0;
  }
  EXPECT_GT(filled, 300);  // 4 .. 0 above the axis
}

TEST_F(DeviceScale, ReadoutAndRingWorkInDevicePixels) {
  state().optCircle = flagOn;
  drawAt(2, "F(x)=x-5");
  const Bitmap before = app->image;
  // Device column 40 is sample 0; 40 + 600 is sample 600 of 1200.
  const Rect changed = controller->pointerMoved(Keys{}, Point{640, 10});
  EXPECT_EQ(label(Label::kReadoutX), "= " + formatGeneral(state().samplesA[600] + 5, "."));
  EXPECT_EQ(label(Label::kReadoutF), "= " + formatGeneral(state().samplesA[600], "."));
  ASSERT_TRUE(state().circleShown);
  // The ring is 30 x 30 device pixels, reaching 15 up and left of its centre
  // on the curve's row.
  const Rect& ring = app->explore.circleRect;
  EXPECT_EQ(ring.right - ring.left, 30);
  EXPECT_EQ(ring.bottom - ring.top, 30);
  EXPECT_EQ(ring.left, 625);
  const int row = static_cast<int>(std::llrint(40 + (799 - 799 * (state().samplesA[600] + 5) / 10)));
  EXPECT_EQ(ring.top, row - 15);
  EXPECT_EQ(changed.right - changed.left, 30);
  // Moving off the curve's columns and back takes the ring off cleanly.
  controller->pointerMoved(Keys{}, Point{641, 10});
  state().optCircle = flagOff;
  controller->pointerMoved(Keys{}, Point{642, 10});
  kurvana::eraseCircle(state(), app->image, app->explore);
  EXPECT_TRUE(samePixels(app->image, before));
  // Column 39 lies on the margin: no readout change.
  const auto labels = view.labels;
  controller->pointerMoved(Keys{}, Point{39, 10});
  EXPECT_EQ(view.labels, labels);
}

TEST_F(DeviceScale, CopyPictureLeavesTheScaledRingOut) {
  // The ring is 30 x 30 device pixels at 2x: all of it is put back on the
  // copy, not only its 15 x 15 corner.
  state().optCircle = flagOn;
  const Bitmap drawn = drawAt(2, "F(x)=x-5");
  controller->pointerMoved(Keys{}, Point{640, 10});
  ASSERT_TRUE(state().circleShown);
  ASSERT_EQ(app->explore.circleRect.right - app->explore.circleRect.left, 30);
  controller->copyPicture();
  ASSERT_TRUE(view.copied.has_value());
  EXPECT_EQ(view.copied->width(), 1280);
  EXPECT_TRUE(samePixels(*view.copied, drawn));
}

TEST_F(DeviceScale, PanDragMovesByDevicePixels) {
  drawAt(2, "F(x)=x-5");
  const auto samples = state().samplesA;
  ASSERT_EQ(controller->pointerPressed(MouseButton::kLeft, Point{400, 400}), PlotPress::kPanStarted);
  // A quarter of the 1200 device columns to the right.
  controller->pointerMoved(Keys{}, Point{700, 400});
  EXPECT_EQ(view.texts[Field::kXMin], "-2.5");
  EXPECT_EQ(view.texts[Field::kXMax], "7.5");
  // The preview moved the curve 300 device columns: column 340 shows sample 0.
  const ExploreState& e = app->explore;
  EXPECT_TRUE(isNoSample(e.panSamplesA[299]));
  EXPECT_EQ(e.panSamplesA[300], samples[0]);
  EXPECT_EQ(e.panSamplesA[1199], samples[899]);
  ASSERT_TRUE(controller->pointerReleased().ok());
  EXPECT_TRUE(state().plotValid);
  EXPECT_EQ(app->image.width(), 1280);
}

}  // namespace
}  // namespace kurvana
