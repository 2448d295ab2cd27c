// Saving the largest plot (2040 x 1340) as PNG, BMP and JPEG, and drawn again
// as SVG and PDF, beside the Draw that paints it. Files go to the system's temporary folder (TMPDIR): on a
// disk the times include its flush before the rename; with TMPDIR=/dev/shm
// they are the encoding and the copy alone. The counter "bytes" is the
// file's size.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/controller.h"
#include "app/memory_view.h"
#include "files/picture_file.h"

namespace {

using namespace kurvana;
namespace fs = std::filesystem;

class BenchView : public MemoryView {
 public:
  BenchView() {
    window = {2240, 1440};  // the image is capped at 2040 x 1340
    texts = {{Field::kXMin, "0"}, {Field::kXMax, "10"},        {Field::kYMin, "-5"},
              {Field::kYMax, "5"}, {Field::kFormulaF, "F(x)="}, {Field::kFormulaG, "G(x)="},
              {Field::kZMin, "0"}, {Field::kZMax, "6.2832"},    {Field::kZCount, "2000"}};
  }
  void showMessage(std::string_view, std::string_view, std::string_view) override {
    std::abort();  // every benchmark Draw must succeed
  }
};

// The plots: the start-up look, antialiased lines, a filled area on white,
// a polar rose (the most detail), and lines without the grid (rows that
// repeat the one above, not the one two above).
struct Plot {
  const char* name;
  const char* formula;
  bool lines, antialias, filled, white, polar, noGrid;
};
constexpr Plot kPlots[] = {
    {"sine", "F(x)=sin(x)", false, false, false, false, false, false},
    {"antialiased", "F(x)=x*sin(x)/3", true, true, false, false, false, false},
    {"filled", "F(x)=x*sin(x)/3", false, false, true, true, false, false},
    {"rose", "F(x)=cos(4*x)", true, true, false, true, true, false},
    {"gridless", "F(x)=x*sin(x)/3", true, false, false, false, false, true},
};

struct Setup {
  BenchView view;
  std::unique_ptr<Controller> controller =
      std::make_unique<Controller>(view, ControllerSetup::headless());

  explicit Setup(const Plot& plot) {
    PlotState& s = controller->app().plot;
    controller->app().decimalSeparator = ".";
    s.optLines = plot.lines ? flagOn : flagOff;
    s.optAntialias = plot.antialias ? flagOn : flagOff;
    s.optFilled = plot.filled ? flagOn : flagOff;
    s.optWhiteBack = plot.white ? flagOn : flagOff;
    s.optPolar = plot.polar ? flagOn : flagOff;
    s.optGrid = plot.noGrid ? flagOff : flagOn;
    if (plot.polar) {
      for (Field f : {Field::kXMin, Field::kYMin}) view.texts[f] = "-1.1";
      for (Field f : {Field::kXMax, Field::kYMax}) view.texts[f] = "1.1";
    }
    view.texts[Field::kFormulaF] = plot.formula;
    controller->applyOptions();
    controller->clearPicture();
  }
  void draw() {
    if (controller->draw().outcome != DrawOutcome::kDrawn) std::abort();
  }
};

using Writer = std::function<std::string(const Bitmap&, const fs::path&)>;

void write(benchmark::State& state, const Plot& plot, const Writer& writer, const char* suffix) {
  Setup setup(plot);
  setup.draw();
  const fs::path path = fs::temp_directory_path() /
                        ("kurvana-picture-bench-" + std::to_string(::getpid()) + "." + suffix);
  for (auto _ : state) {
    if (!writer(setup.controller->picture(), path).empty()) std::abort();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

// The vector pictures go through the controller, which keeps what they draw.
void vector(benchmark::State& state, const Plot& plot, PictureFormat format, const char* suffix) {
  Setup setup(plot);
  setup.draw();
  const fs::path path = fs::temp_directory_path() /
                        ("kurvana-picture-bench-" + std::to_string(::getpid()) + "." + suffix);
  for (auto _ : state) {
    if (!setup.controller->savePicture(path, format).ok()) std::abort();
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(path));
  fs::remove(path);
}

void draw(benchmark::State& state, const Plot& plot) {
  Setup setup(plot);
  for (auto _ : state) setup.draw();
}

int registerAll() {
  const Writer png = [](const Bitmap& b, const fs::path& p) {
    return writePngFile(b, p).message();
  };
  const Writer bmp = [](const Bitmap& b, const fs::path& p) {
    return writeBmpFile(b, p).message();
  };
  const Writer jpeg = [](const Bitmap& b, const fs::path& p) {
    return writeJpegFile(b, p).message();
  };
  for (const Plot& plot : kPlots) {
    const std::string name = plot.name;
    benchmark::RegisterBenchmark(("png/" + name).c_str(), write, plot, png, "png")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("bmp/" + name).c_str(), write, plot, bmp, "bmp")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("jpeg/" + name).c_str(), write, plot, jpeg, "jpg")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("svg/" + name).c_str(), vector, plot, PictureFormat::kSvg, "svg")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("pdf/" + name).c_str(), vector, plot, PictureFormat::kPdf, "pdf")
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("draw/" + name).c_str(), draw, plot)
        ->Unit(benchmark::kMillisecond);
  }
  return 0;
}

const int kRegistered = registerAll();

}  // namespace

BENCHMARK_MAIN();
