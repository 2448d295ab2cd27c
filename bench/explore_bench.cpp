// Exploring the largest plot (W = 2000, H = 1300): one pointer move with the
// readout and the ring, and one pan drag step (ranges, empty plot, shifted or
// filtered samples, preview), per curve style.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/draw_command.h"
#include "app/memory_view.h"
#include "app/program_hooks.h"
#include "explore/zoom_pan.h"
#include "render/plot_frame.h"

namespace {

using namespace kurvana;

class BenchView : public MemoryView {
 public:
  BenchView() {
    window = {2240, 1440};  // the image is capped at 2040 x 1340
    fields = {{Field::kXMin, "0.1"}, {Field::kXMax, "10"},        {Field::kYMin, "-3"},
              {Field::kYMax, "3"},   {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
              {Field::kZMin, "0"},   {Field::kZMax, "6.2832"},    {Field::kZCount, "2000"}};
  }
  void showMessage(std::string_view, std::string_view, std::string_view) override {
    std::abort();  // every benchmark Draw must succeed
  }
};

class NoWindow : public ExploreHost {
 public:
  void draw() override { std::abort(); }  // a drag step never draws
  std::optional<Point> pointerInImage() const override { return std::nullopt; }
  void setPanCursor(bool) override {}
  void enablePlotMenu(bool) override {}
};

enum Style { kDots, kLines, kFilled };
const char* const kStyleNames[] = {"dots", "lines", "filled"};

struct Plot {
  std::unique_ptr<Application> app = std::make_unique<Application>();
  BenchView view;
  NoWindow host;

  Plot(int style, bool parametric) {
    app->decimalSeparator = ".";
    PlotState& s = app->plot;
    s.optLines = style == kLines ? flagOn : flagOff;
    s.optFilled = style == kFilled ? flagOn : flagOff;
    s.optCircle = flagOn;
    if (parametric) {
      s.optTwoFunctions = flagOn;
      view.fields[Field::kXMin] = "-3";
      view.fields[Field::kXMax] = "3";
      view.fields[Field::kFormulaF] = "F(x)=2*cos(x)+cos(7*x)/2";
      view.fields[Field::kFormulaG] = "G(x)=2*sin(x)-sin(7*x)/2";
    } else {
      view.fields[Field::kFormulaF] = "F(x)=sin(x)*2+sin(7*x)/2";
    }
    setbg(s);
    RenderContext c = context();
    set2d(c);
    ProgramHooks hooks(*app, view, std::nullopt);
    if (sb1MouseDown(c, app->texts, hooks) != DrawOutcome::kDrawn) std::abort();
  }
  RenderContext context() { return app->renderContext(view); }
};

// Pointer moves sweep the plot columns; each one erases and places the ring
// and writes the three labels.
void pointerMove(benchmark::State& state, int style, bool parametric) {
  Plot plot(style, parametric);
  RenderContext c = plot.context();
  int column = 0;
  for (auto _ : state) {
    im1MouseMove(c, plot.app->explore, Keys{}, 20 + column, 300 + (column & 1));
    column = (column + 7) % 2000;
  }
  if (!plot.app->plot.circleShown) state.SkipWithError("no ring was shown");
}

// Drag steps of one pixel, back and forth so the view stays near the curve.
void panStep(benchmark::State& state, int style, bool parametric) {
  Plot plot(style, parametric);
  RenderContext c = plot.context();
  im1MouseDown(c, plot.app->explore, plot.host, MouseButton::kLeft, 1000, 600);
  int step = 0;
  for (auto _ : state) {
    const int d = step % 40 < 20 ? step % 20 : 20 - step % 20;
    im1MouseMove(c, plot.app->explore, Keys{}, 1000 + d, 600 + d / 2);
    ++step;
  }
}

void registerAll() {
  for (int style : {kDots, kLines, kFilled}) {
    const std::string name = kStyleNames[style];
    benchmark::RegisterBenchmark(("pointer_move/cartesian/" + name).c_str(), pointerMove, style,
                                 false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("pan_step/cartesian/" + name).c_str(), panStep, style, false)
        ->Unit(benchmark::kMillisecond);
    if (style == kFilled) continue;  // parametric curves are never filled
    benchmark::RegisterBenchmark(("pointer_move/parametric/" + name).c_str(), pointerMove, style,
                                 true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("pan_step/parametric/" + name).c_str(), panStep, style, true)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
