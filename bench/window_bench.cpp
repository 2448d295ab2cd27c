// The window's responsiveness at 1024 x 768 and at the largest size, 2240 x
// 1440: start-up to the first plot on screen (the splash's fixed wait left
// out, the 100 ms start-up timer included), a pointer move over the plot to
// labels and ring repainted, and one live-resize step by the grip (layout,
// empty plot, Draw, repaint). Counters give the peak memory and the CPU used
// while the window sits idle.
//
// Runs on the offscreen platform with a 2560 x 1600 screen unless
// QT_QPA_PLATFORM says otherwise (e.g. xcb under Xvfb).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "files/settings_record.h"
#include "ui/main_window.h"

namespace {

namespace fs = std::filesystem;
using kurvana::ControllerSetup;
using kurvana::ui::MainWindow;

fs::path benchHome() {
  static const fs::path home =
      fs::temp_directory_path() / ("kurvana_window_bench_" + std::to_string(::getpid()));
  return home;
}

// A user who last drew x sin x / 3 in a window of the given size.
void prepareHome(int width, int height) {
  const fs::path folder = benchHome() / "Documents/Talvoren/Kurvana";
  fs::create_directories(folder);
  kurvana::PlotState state;
  state.optCircle = kurvana::flagOn;
  if (!kurvana::writeSettings(folder / "Kurvana.ini", state, kurvana::WindowExtent{width, height})
           .message()
           .empty()) {
    std::abort();
  }
  std::ofstream(folder / "Kurvana.lst", std::ios::binary) << "F(x)=sin(x)*x/3\r\n";
}

ControllerSetup setup() {
  ControllerSetup s;
  s.environment = [](const char* name) -> const char* {
    static const std::string home = benchHome().string();
    static const std::string data = (benchHome() / "data").string();
    static const std::string config = (benchHome() / "config").string();
    const std::string_view n(name);
    if (n == "HOME") return home.c_str();
    if (n == "XDG_DATA_HOME") return data.c_str();
    if (n == "XDG_CONFIG_HOME") return config.c_str();
    return nullptr;
  };
  s.executable = "/usr/bin/kurvana";
  s.reportCommand.clear();
  s.runCommand = [](const std::vector<std::string>&) {};
  return s;
}

MainWindow::Services quietServices() {
  MainWindow::Services s;
  s.beep = [] {};
  s.showProblem = [](const QString& message) {
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    std::abort();
  };
  s.chooseFile = [](const kurvana::ui::FileRequest&) { return std::nullopt; };
  s.openUrl = [](const QUrl&) {};
  s.quit = [] {};
  return s;
}

// Counts the plot's paints, so that "on screen" means painted.
class PaintCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

double peakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double cpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// A shown window with its first plot drawn.
std::unique_ptr<MainWindow> shownWindow(int width, int height, PaintCounter& counter) {
  prepareHome(width, height);
  auto window = std::make_unique<MainWindow>(setup(), std::nullopt, quietServices());
  QWidget* plot = window->findChild<QWidget*>("plot");
  plot->installEventFilter(&counter);
  window->showCentred();
  if (!QTest::qWaitFor([&] { return window->controller().plot().plotValid && counter.paints > 0; },
                       5000)) {
    std::abort();
  }
  if (window->width() != width || window->height() != height) std::abort();
  return window;
}

void startUp(benchmark::State& state, int width, int height) {
  prepareHome(width, height);
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    PaintCounter counter;
    MainWindow window(setup(), std::nullopt, quietServices());
    const double built = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    window.findChild<QWidget*>("plot")->installEventFilter(&counter);
    window.showCentred();
    const double shown = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    state.counters["built_ms"] = built;
    int paintsBeforeDraw = -1;
    while (!(window.controller().plot().plotValid && counter.paints > paintsBeforeDraw)) {
      if (paintsBeforeDraw < 0 && window.controller().plot().plotValid) {
        paintsBeforeDraw = counter.paints;
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      if (clock.elapsed() > 5000) std::abort();
    }
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    state.counters["shown_ms"] = shown;
  }
  state.counters["peak_MB"] = peakMegabytes();
}

void pointerMove(benchmark::State& state, int width, int height) {
  PaintCounter counter;
  auto window = shownWindow(width, height, counter);
  QWidget* plot = window->findChild<QWidget*>("plot");
  const int w = window->controller().plot().plotWidth;
  int column = 0;
  for (auto _ : state) {
    const QPointF at(20 + column, 300 + (column & 1));
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    const int before = counter.paints;
    QApplication::sendEvent(plot, &move);
    while (counter.paints == before) QCoreApplication::processEvents();
    column = (column + 7) % w;
  }
  if (!window->controller().plot().circleShown) state.SkipWithError("no ring was shown");
}

void resizeStep(benchmark::State& state, int width, int height) {
  PaintCounter counter;
  auto window = shownWindow(width, height, counter);
  QWidget* grip = window->childAt(window->width() - 10, window->height() - 8);
  const QPoint start = grip->mapToGlobal(QPoint(5, 5));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(start), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(grip, &press);
  int step = 0;
  for (auto _ : state) {
    // Back and forth by up to 20 pixels, inward so the size limits never apply.
    const int d = -(step % 40 < 20 ? step % 20 : 20 - step % 20);
    const QPoint global = start + QPoint(d, d);
    QMouseEvent move(QEvent::MouseMove, QPointF(grip->mapFromGlobal(global)), QPointF(global),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    const int before = counter.paints;
    QApplication::sendEvent(grip, &move);
    while (counter.paints == before) QCoreApplication::processEvents();
    ++step;
  }
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(start), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(grip, &release);
}

// The CPU the process uses while the shown window waits for input.
void idle(benchmark::State& state, int width, int height) {
  PaintCounter counter;
  auto window = shownWindow(width, height, counter);
  QTest::qWait(500);  // let the first paints and deferred deletions settle
  for (auto _ : state) {
    // A plain event loop: QTest::qWait would wake it every 10 ms itself.
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    const double before = cpuMilliseconds();
    loop.exec();
    state.counters["idle_cpu_ms_per_s"] = cpuMilliseconds() - before;
  }
}

void registerAll() {
  for (const auto& [w, h] : {std::pair{1024, 768}, std::pair{2240, 1440}}) {
    const std::string size = std::to_string(w) + "x" + std::to_string(h);
    benchmark::RegisterBenchmark(("startup/" + size).c_str(), startUp, w, h)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    benchmark::RegisterBenchmark(("pointer_move/" + size).c_str(), pointerMove, w, h)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("resize_step/" + size).c_str(), resizeStep, w, h)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("idle/" + size).c_str(), idle, w, h)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path screens = fs::temp_directory_path() / "kurvana_window_bench_screen.json";
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    std::ofstream(screens) << R"({"screens":[{"name":"bench","x":0,"y":0,"width":2560,)"
                              R"("height":1600,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str());
  }
  // The window marks its instance in the runtime folder; keep that private.
  const fs::path runtime = benchHome() / "runtime";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", runtime.string().c_str());
  QApplication application(argc, argv);
  registerAll();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  fs::remove_all(benchHome());
  return 0;
}
