// Exploring the largest plot (W = 2000, H = 1300): one pointer move with the
// readout and the ring, and one pan drag step (ranges, empty plot, shifted or
// filtered samples, preview), per curve style.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/controller.h"
#include "app/memory_view.h"

namespace {

using namespace kurvana;

class BenchView : public MemoryView {
 public:
  BenchView() {
    window = {2240, 1440};  // the image is capped at 2040 x 1340
    texts = {{Field::kXMin, "0.1"}, {Field::kXMax, "10"},        {Field::kYMin, "-3"},
              {Field::kYMax, "3"},   {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
              {Field::kZMin, "0"},   {Field::kZMax, "6.2832"},    {Field::kZCount, "2000"}};
  }
  void showMessage(std::string_view, std::string_view, std::string_view) override {
    std::abort();  // every benchmark Draw must succeed
  }
};

enum Style { kDots, kLines, kFilled };
const char* const kStyleNames[] = {"dots", "lines", "filled"};

struct Plot {
  BenchView view;
  std::unique_ptr<Controller> controller =
      std::make_unique<Controller>(view, ControllerSetup::headless());

  Plot(int style, bool parametric) {
    controller->app().decimalSeparator = ".";
    PlotState& s = controller->app().plot;
    s.optLines = style == kLines ? flagOn : flagOff;
    s.optFilled = style == kFilled ? flagOn : flagOff;
    s.optCircle = flagOn;
    if (parametric) {
      s.optTwoFunctions = flagOn;
      view.texts[Field::kXMin] = "-3";
      view.texts[Field::kXMax] = "3";
      view.texts[Field::kFormulaF] = "F(x)=2*cos(x)+cos(7*x)/2";
      view.texts[Field::kFormulaG] = "G(x)=2*sin(x)-sin(7*x)/2";
    } else {
      view.texts[Field::kFormulaF] = "F(x)=sin(x)*2+sin(7*x)/2";
    }
    controller->applyOptions();
    if (controller->redraw().outcome != DrawOutcome::kDrawn) std::abort();
  }
};

// Pointer moves sweep the plot columns; each one erases and places the ring
// and writes the three labels.
void pointerMove(benchmark::State& state, int style, bool parametric) {
  Plot plot(style, parametric);
  Controller& controller = *plot.controller;
  int column = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        controller.pointerMoved(Keys{}, Point{20 + column, 300 + (column & 1)}));
    column = (column + 7) % 2000;
  }
  if (!controller.plot().circleShown) state.SkipWithError("no ring was shown");
}

// Drag steps of one pixel, back and forth so the view stays near the curve.
void panStep(benchmark::State& state, int style, bool parametric) {
  Plot plot(style, parametric);
  Controller& controller = *plot.controller;
  if (controller.pointerPressed(MouseButton::kLeft, Point{1000, 600}) != PlotPress::kPanStarted) {
    std::abort();
  }
  int step = 0;
  for (auto _ : state) {
    const int d = step % 40 < 20 ? step % 20 : 20 - step % 20;
    benchmark::DoNotOptimize(controller.pointerMoved(Keys{}, Point{1000 + d, 600 + d / 2}));
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
