// A drawn plot on a fake window, with the exploring commands wired to it as
// the main window wires them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/draw_command.h"
#include "app/program_hooks.h"
#include "explore/cursor_readout.h"
#include "explore/zoom_pan.h"
#include "plot/fake_view.h"
#include "render/plot_frame.h"

namespace kurvana::testing {

// Window size for a plot of W x H pixels.
inline Size windowFor(int w, int h) {
  return Size{w + 240, h + 140};
}

class FakeHost : public ExploreHost {
 public:
  FakeHost(Application& app, PlotView& view) : app_(app), view_(view), hooks_(app, view, {}) {}

  void draw() override {
    ++draws;
    RenderContext context = app_.renderContext(view_);
    sb1MouseDown(context, app_.texts, hooks_);
  }
  std::optional<Point> pointerInImage() const override { return pointer; }
  void setPanCursor(bool hand) override { handCursor = hand; }
  void enablePlotMenu(bool enabled) override { menuEnabled = enabled; }

  int draws = 0;
  std::optional<Point> pointer;
  bool handCursor = false;
  std::optional<bool> menuEnabled;

 private:
  Application& app_;
  PlotView& view_;
  ProgramHooks hooks_;
};

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

  RenderContext context() { return app->renderContext(view); }

  // set2d, then the Draw, as the window's callers do.
  DrawOutcome draw(const std::string& f, const std::string& g = "G(x)=") {
    view.texts[Field::kFormulaF] = f;
    view.texts[Field::kFormulaG] = g;
    RenderContext c = context();
    setbg(app->plot);
    set2d(c);
    ProgramHooks hooks(*app, view, std::nullopt);
    return sb1MouseDown(c, app->texts, hooks);
  }

  void move(int x, int y, Keys keys = {}) {
    RenderContext c = context();
    im1MouseMove(c, app->explore, keys, x, y);
  }

  std::string label(Label which) { return view.labels[which]; }

  PlotState& state() { return app->plot; }

  std::unique_ptr<Application> app = std::make_unique<Application>();
  FakeView view;
  FakeHost host{*app, view};
};

}  // namespace kurvana::testing
