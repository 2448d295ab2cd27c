// One full Draw on the largest plot (W = 2000, H = 1300) per mode, the
// rendering alone on samples already taken, the default window redrawn at
// device scales 1, 1.5 and 2, and the empty plot alone.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

#include "app/controller.h"
#include "app/draw_command.h"
#include "app/memory_view.h"
#include "render/curves.h"
#include "render/plot_frame.h"

namespace {

using namespace kurvana;

// The largest plot: the image is capped at 2040 x 1340.
class BenchView : public MemoryView {
 public:
  BenchView() {
    window = {2240, 1440};
    texts = {{Field::kXMin, "0.1"}, {Field::kXMax, "10"},        {Field::kYMin, "-3"},
              {Field::kYMax, "3"},   {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
              {Field::kZMin, "0"},   {Field::kZMax, "6.2832"},    {Field::kZCount, "2000"}};
  }
  void showMessage(std::string_view, std::string_view, std::string_view) override {
    std::abort();  // every benchmark Draw must succeed
  }
};

const char* const kFormulas[] = {
    "F(x)=sin(x)^2+cos(x)^2",
    "F(x)=2*sin(x+pi/4)^2",
    "F(x)=sqrt(abs(x))*exp(0-x/3)+ln(x)",
    "F(x)=sinh(x/4)-cosh(x/5)+tanh(x)+atan(x)",
    "F(x)=((x^3-2*x^2+x-1)/(x^2+1))*sin(3*x)+cos(x/2)^2-log(x)",
};

enum Mode { kDots, kLines, kAntialias, kFilled };
const char* const kModeNames[] = {"dots", "lines", "antialias", "filled"};

struct Setup {
  BenchView view;
  std::unique_ptr<Controller> controller =
      std::make_unique<Controller>(view, ControllerSetup::headless());
  PlotState& state = controller->app().plot;

  Setup(int mode, const std::string& f) {
    controller->app().decimalSeparator = ".";
    state.optLines = mode == kLines || mode == kAntialias ? flagOn : flagOff;
    state.optAntialias = mode == kAntialias ? flagOn : flagOff;
    state.optFilled = mode == kFilled ? flagOn : flagOff;
    view.texts[Field::kFormulaF] = f;
    controller->applyOptions();
  }
  RenderContext context() { return controller->app().renderContext(); }
  void draw() {
    if (controller->draw().outcome != DrawOutcome::kDrawn) std::abort();
  }
};

void fullDraw(benchmark::State& state, int mode, const std::string& f, const std::string& g = {},
              bool polar = false) {
  Setup setup(mode, f);
  if (!g.empty()) {
    setup.state.optTwoFunctions = flagOn;
    setup.state.optAutoScale = flagOn;
    setup.view.texts[Field::kFormulaG] = g;
  }
  if (polar) {
    setup.state.optPolar = flagOn;
    setup.view.texts[Field::kXMin] = "-1.1";
    setup.view.texts[Field::kXMax] = "1.1";
    setup.view.texts[Field::kYMin] = "-1.1";
    setup.view.texts[Field::kYMax] = "1.1";
  }
  setup.controller->clearPicture();
  for (auto _ : state) setup.draw();
}

// The painter alone, on the samples of one Draw.
void renderOnly(benchmark::State& state, int mode, const std::string& f) {
  Setup setup(mode, f);
  setup.controller->clearPicture();
  setup.draw();
  RenderContext context = setup.context();
  for (auto _ : state) {
    paintCartesianCurve(context, setup.state.samplesA, CurvePass::kDraw);
  }
}

// The default window on screens of device scale 1, 1.5 and 2: the empty
// plot and the Draw, as a window repaints after a size or screen change.
void redrawAtScale(benchmark::State& state, int mode, double scale) {
  Setup setup(mode, kFormulas[4]);
  setup.view.window = {1024, 768};
  if (!setup.controller->scaleChanged(scale).ok()) std::abort();
  for (auto _ : state) {
    if (setup.controller->redraw().outcome != DrawOutcome::kDrawn) std::abort();
  }
}

void emptyPlot(benchmark::State& state) {
  Setup setup(kDots, "F(x)=x");
  RenderContext context = setup.context();
  for (auto _ : state) showEmptyPlot(context, setup.view);
}

int registerAll() {
  for (int m = kDots; m <= kFilled; ++m) {
    for (int i = 0; i < 5; ++i) {
      const std::string name = std::string(kModeNames[m]) + "/" + static_cast<char>('a' + i);
      benchmark::RegisterBenchmark(("draw/" + name).c_str(), fullDraw, m, kFormulas[i],
                                   std::string(), false)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("render/" + name).c_str(), renderOnly, m, kFormulas[i])
          ->Unit(benchmark::kMicrosecond);
    }
  }
  for (int m : {kDots, kLines, kAntialias}) {
    benchmark::RegisterBenchmark((std::string("draw/circle/") + kModeNames[m]).c_str(), fullDraw, m,
                                 "F(x)=cos(x)", "G(x)=sin(x)", false)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark((std::string("draw/rose/") + kModeNames[m]).c_str(), fullDraw, m,
                                 "F(x)=cos(4*x)", std::string(), true)
        ->Unit(benchmark::kMicrosecond);
  }
  for (int m : {kLines, kAntialias}) {
    for (const double scale : {1.0, 1.5, 2.0}) {
      benchmark::RegisterBenchmark(
          (std::string("redraw/") + kModeNames[m] + "/scale:" + std::to_string(scale).substr(0, 3))
              .c_str(),
          redrawAtScale, m, scale)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  benchmark::RegisterBenchmark("emptyPlot", emptyPlot)->Unit(benchmark::kMicrosecond);
  return 0;
}

const int kRegistered = registerAll();

}  // namespace

BENCHMARK_MAIN();
