// A drawn plot on a fake window, explored through the controller as the main
// window explores it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/controller.h"
#include "app/draw_command.h"
#include "explore/cursor_readout.h"
#include "explore/zoom_pan.h"
#include "app/fake_view.h"
#include "render/plot_frame.h"

namespace kurvana::testing {

// Window size for a plot of W x H pixels.
inline Size windowFor(int w, int h) {
  return Size{w + 240, h + 140};
}

class ExploreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app->decimalSeparator = ".";
    app->labelFont.reset();  // label pixels are not what these tests look at
    view.texts = {{Field::kXMin, "0"}, {Field::kXMax, "10"},        {Field::kYMin, "-5"},
                  {Field::kYMax, "5"}, {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
                  {Field::kZMin, "0"}, {Field::kZMax, "10"},        {Field::kZCount, "1000"}};
    plotSize(600, 400);
  }

  void plotSize(int w, int h) { view.window = windowFor(w, h); }

  RenderContext context() { return app->renderContext(); }

  // The empty plot, then the Draw, as the window's callers do.
  DrawOutcome draw(const std::string& f, const std::string& g = "G(x)=") {
    view.texts[Field::kFormulaF] = f;
    view.texts[Field::kFormulaG] = g;
    controller->applyOptions();
    const DrawResult result = controller->redraw();
    EXPECT_TRUE(result.status.ok());
    setUpDraws = view.compiledDraws();
    return result.outcome;
  }

  // Draws that compiled since the test's last own draw().
  int draws() const { return view.compiledDraws() - setUpDraws; }

  void move(int x, int y, Keys keys = {}) {
    const Rect changed = controller->pointerMoved(keys, Point{x, y});
    (void)changed;
  }

  std::string label(Label which) { return view.labels[which]; }

  PlotState& state() { return app->plot; }

  FakeView view;
  std::unique_ptr<Controller> controller =
      std::make_unique<Controller>(view, ControllerSetup::headless());
  Application* app = &controller->app();
  int setUpDraws = 0;
};

}  // namespace kurvana::testing
