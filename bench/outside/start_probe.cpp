// Start-up as a user meets it: from just before the window program is spawned
// to its first plot's pixels read back from the X server, with the CPU the
// process used by then; and the same for a minimal Qt window of the same size
// (minimal_window), whose time is what Qt and the X server cost anyway.
//
//   start_probe [--runs N] [--size WxH] [--minimal PROGRAM] [--server-pid PID]
//               [--interval US] KURVANA
//
// The program shows its splash for a fixed 2.5 s before the main window. The
// probe sees three moments: the splash's pixels, the main window's, the
// plot's. The wait is a Qt coarse timer, which Qt moves by up to 5% (125 ms)
// toward a whole or half second of the monotonic clock (the probe's clock
// too), or by the full 125 ms toward one out of reach; the 100 ms start-up
// timer keeps to tenths of a second. The probe works out when the wait ended
// by Qt's rule, from the moment the timer started, which it takes to be the
// splash's appearance (a few ms late). The start-up without the wait is then
// the splash's time plus the time from the wait's end to the plot: exact
// where Qt moved the end by the full 125 ms, a few ms high where it moved it
// to a half second. Runs whose start lies within 30 ms after a point where
// Qt's choice jumps (msec 250 or 750 of the end, counted from the start) are
// left out of that figure.
//
// Runs of the two programs alternate, after one unmeasured run of each.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "outside_x.h"

namespace {

namespace fs = std::filesystem;
using namespace kurvana::outside;

struct Options {
  int runs = 10;
  int width = 1024;
  int height = 768;
  std::string kurvana;
  std::string minimal;
  pid_t server = 0;
  int intervalUs = 500;
};

[[noreturn]] void usage() {
  die("usage: start_probe [--runs N] [--size WxH] [--minimal PROGRAM] [--server-pid PID] "
      "[--interval US] KURVANA");
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--runs" && hasValue) {
      o.runs = std::atoi(argv[++i]);
    } else if (a == "--size" && hasValue) {
      if (!parseSize(argv[++i], o.width, o.height)) usage();
    } else if (a == "--minimal" && hasValue) {
      o.minimal = argv[++i];
    } else if (a == "--server-pid" && hasValue) {
      o.server = std::atoi(argv[++i]);
    } else if (a == "--interval" && hasValue) {
      o.intervalUs = std::atoi(argv[++i]);
    } else if (o.kurvana.empty() && !a.starts_with("-")) {
      o.kurvana = a;
    } else {
      usage();
    }
  }
  if (o.kurvana.empty() || o.runs < 1 || o.intervalUs < 0) usage();
  return o;
}

struct Run {
  double splash = -1;  // spawn to the splash's pixels
  double window = -1;  // spawn to the main window's
  double plot = -1;    // spawn to the plot's
  // The same two moments on the monotonic clock.
  double splashAt = -1;
  double windowAt = -1;
  double cpu = -1;     // the program's CPU by then
  double server = -1;  // the server's CPU from spawn to then
};

double sinceEpoch(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(t.time_since_epoch()).count();
}

// When Qt ends a 2500 ms coarse timer started at `start` (ms on the monotonic
// clock): the due time moved to its second's 0 or 1000 ms within 125 ms, else
// toward the nearest 500 ms by at most 125 ms. Sets `unsure` where the start
// lies just after a jump of that choice, so that a start a little earlier
// ends 250 ms earlier.
double coarseTimeout(double start, bool& unsure) {
  const double due = start + 2500;
  const double second = std::floor(due / 1000) * 1000;
  const double msec = due - second;
  unsure = (msec >= 250 && msec < 280) || (msec >= 750 && msec < 780);
  if (msec <= 125) return second;
  if (msec >= 875) return second + 1000;
  const double base = msec < 500 ? 0 : 500;
  if (msec < base + 250) return second + std::max(base, msec - 125);
  return second + std::min(base + 500, msec + 125);
}

double serverCpu(pid_t server) {
  return server > 0 ? cpuMilliseconds(server) : -1;
}

class Probe {
 public:
  explicit Probe(const Options& o)
      : o_(o),
        work_(fs::temp_directory_path() / ("kurvana_start_probe_" + std::to_string(getpid()))),
        window_(mainWindowArea(screen_, o.width, o.height)),
        splashSpot_(screen_, centre(splashArea(screen_))),
        // In the title bar, clear of the splash and of the window's text.
        windowSpot_(screen_, Area{window_.x + 200, window_.y + 4, 24, 24}),
        band_(screen_, plotBand(window_)) {
    fs::create_directories(work_);
    splashBefore_ = splashSpot_.pixels();
    windowBefore_ = windowSpot_.pixels();
  }
  ~Probe() { fs::remove_all(work_); }

  const Area& window() const { return window_; }
  const Server& screen() const { return screen_; }

  Run kurvana() {
    prepareHome(work_ / "home", o_.width, o_.height);
    return measure({o_.kurvana}, true);
  }

  Run minimal() {
    return measure({o_.minimal, std::to_string(o_.width), std::to_string(o_.height)}, false);
  }

 private:
  static Area centre(const Area& a) {
    return Area{a.x + a.width / 2 - 12, a.y + a.height / 2 - 12, 24, 24};
  }

  Run measure(const std::vector<std::string>& argv, bool withSplash) {
    waitForEmptyScreen();
    Run run;
    const std::vector<std::string> environment = programEnvironment(work_ / "home");
    const double serverBefore = serverCpu(o_.server);
    const Clock::time_point start = Clock::now();
    const pid_t pid = spawn(argv, environment, work_ / "program.log");
    const bool shown = pollUntil(
        [&] {
          if (withSplash && run.splash < 0) {
            splashSpot_.take();
            if (splashSpot_.differsFrom(splashBefore_)) {
              run.splash = millisecondsSince(start);
              run.splashAt = sinceEpoch(Clock::now());
            }
          }
          if (run.window < 0) {
            windowSpot_.take();
            if (windowSpot_.differsFrom(windowBefore_)) {
              run.window = millisecondsSince(start);
              run.windowAt = sinceEpoch(Clock::now());
            }
          }
          if (run.window >= 0) {
            band_.take();
            if (band_.countCurve() >= kCurveInBand) run.plot = millisecondsSince(start);
          }
          return run.plot >= 0 || !running(pid);
        },
        20000, o_.intervalUs);
    run.cpu = cpuMilliseconds(pid);
    if (o_.server > 0) run.server = serverCpu(o_.server) - serverBefore;
    const bool alive = running(pid);
    end(pid);
    if (!shown || !alive) {
      die(argv[0] + (alive ? " showed no plot within 20 s" : " ended before its plot showed") +
          "; its output: " + (work_ / "program.log").string());
    }
    return run;
  }

  // The last program's windows gone: both spots as before, then a moment for
  // the server to settle.
  void waitForEmptyScreen() {
    pollUntil(
        [&] {
          splashSpot_.take();
          windowSpot_.take();
          return !splashSpot_.differsFrom(splashBefore_) && !windowSpot_.differsFrom(windowBefore_);
        },
        5000, 5000);
    pause(300000);
  }

  const Options& o_;
  fs::path work_;
  Server screen_;
  Area window_;
  Grab splashSpot_;
  Grab windowSpot_;
  Grab band_;
  std::vector<std::uint32_t> splashBefore_;
  std::vector<std::uint32_t> windowBefore_;
};

void row(const char* name, const std::vector<double>& values, const char* unit = "ms") {
  std::printf("  %-44s %s %s\n", name, describe(summarise(values)).c_str(), unit);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  Probe probe(o);
  std::vector<double> splash, window, plot, afterWindow, afterTimeout, noWait, wait, cpu, server;
  int unsureRuns = 0;
  std::vector<double> minimalTime, minimalCpu, minimalServer;
  for (int i = -1; i < o.runs; ++i) {
    const Run k = probe.kurvana();
    const Run m = o.minimal.empty() ? Run{} : probe.minimal();
    if (i < 0) continue;  // the first runs bring the files into the cache
    splash.push_back(k.splash);
    window.push_back(k.window);
    plot.push_back(k.plot);
    afterWindow.push_back(k.plot - k.window);
    wait.push_back(k.window - k.splash);
    bool unsure = false;
    const double timeout = coarseTimeout(k.splashAt, unsure);
    if (unsure) {
      ++unsureRuns;
    } else {
      afterTimeout.push_back(k.windowAt - timeout + (k.plot - k.window));
      noWait.push_back(k.splash + afterTimeout.back());
    }
    cpu.push_back(k.cpu);
    if (o.server > 0) server.push_back(k.server);
    if (!o.minimal.empty()) {
      minimalTime.push_back(m.plot);
      minimalCpu.push_back(m.cpu);
      if (o.server > 0) minimalServer.push_back(m.server);
    }
  }
  const Area& w = probe.window();
  std::printf("start-up, window %dx%d on a %dx%d screen, %d runs, screen read every %d us%s\n",
              w.width, w.height, probe.screen().width(), probe.screen().height(), o.runs,
              o.intervalUs, probe.screen().haveShm() ? " (MIT-SHM)" : " (no MIT-SHM)");
  std::printf("  %-44s %s\n", "", "median  (min .. max)");
  row("kurvana: spawn to splash on screen", splash);
  row("kurvana: spawn to main window on screen", window);
  row("kurvana: spawn to first plot on screen", plot);
  row("kurvana: splash to main window on screen", wait);
  row("kurvana: main window to first plot", afterWindow);
  row("kurvana: splash timeout to first plot", afterTimeout);
  row("kurvana: first plot without the splash wait", noWait);
  row("kurvana: CPU by the first plot", cpu);
  std::printf("  %-44s %d\n", "runs left out, the wait's end unsure", unsureRuns);
  if (!server.empty()) row("X server: CPU meanwhile (probe reads incl.)", server);
  if (!o.minimal.empty()) {
    row("minimal Qt window: spawn to image on screen", minimalTime);
    row("minimal Qt window: CPU by then", minimalCpu);
    if (!minimalServer.empty()) row("minimal Qt window: X server CPU meanwhile", minimalServer);
    const double ratio = summarise(noWait).median / summarise(minimalTime).median;
    const double cpuRatio = summarise(cpu).median / summarise(minimalCpu).median;
    std::printf("  %-44s %.2f\n", "ratio kurvana (no wait) / minimal, time", ratio);
    std::printf("  %-44s %.2f\n", "ratio kurvana / minimal, CPU", cpuRatio);
  }
  return 0;
}
