// A pointer move over the plot as a user meets it: the window program runs in
// its own process with its first plot shown; the probe moves the pointer with
// XTest and times, from just before the move is sent, until the ring near the
// new column and the readout labels have changed on the screen.
//
//   pointer_probe [--moves N] [--size WxH] [--server-pid PID] [--interval US] KURVANA
//
// The moves step 7 columns at a time across the plot, one row up or down
// each time, as window_bench's in-process pointer_move does.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "outside_x.h"

namespace {

namespace fs = std::filesystem;
using namespace kurvana::outside;

struct Options {
  int moves = 200;
  int width = 1024;
  int height = 768;
  std::string kurvana;
  pid_t server = 0;
  int intervalUs = 250;
};

[[noreturn]] void usage() {
  die("usage: pointer_probe [--moves N] [--size WxH] [--server-pid PID] [--interval US] KURVANA");
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--moves" && hasValue) {
      o.moves = std::atoi(argv[++i]);
    } else if (a == "--size" && hasValue) {
      if (!parseSize(argv[++i], o.width, o.height)) usage();
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
  if (o.kurvana.empty() || o.moves < 1 || o.intervalUs < 0) usage();
  return o;
}

Area padded(const Area& a, const Area& within, int by) {
  const int left = std::max(within.x, a.x - by);
  const int top = std::max(within.y, a.y - by);
  const int right = std::min(within.x + within.width, a.x + a.width + by);
  const int bottom = std::min(within.y + within.height, a.y + a.height + by);
  return Area{left, top, right - left, bottom - top};
}

void row(const char* name, const std::vector<double>& values, const char* unit = "ms") {
  std::printf("  %-44s %s %s\n", name, describe(summarise(values), 2).c_str(), unit);
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parse(argc, argv);
  Server screen;
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(screen.display(), &event, &error, &major, &minor)) {
    die("the X server has no XTest extension");
  }
  const fs::path work =
      fs::temp_directory_path() / ("kurvana_pointer_probe_" + std::to_string(getpid()));
  fs::create_directories(work);
  const Area window = mainWindowArea(screen, o.width, o.height);
  const Area plot = plotArea(window);
  const int middle = plot.y + plot.height / 2;

  // The pointer off the window, so that the first move in is not a measured one.
  movePointer(screen,
              window.x + window.width + 20 < screen.width() ? window.x + window.width + 20 : 0, 0);
  const pid_t pid =
      startWithPlot(screen, {o.kurvana}, work / "home", o.width, o.height, work / "program.log");
  pause(500000);  // the first plot's paints and deferred work settle

  // Where the readouts are: what changes in the panel when the pointer moves
  // from one column to another.
  const Area panel{plot.x + plot.width, plot.y, window.x + window.width - (plot.x + plot.width) - 2,
                   plot.height};
  movePointer(screen, plot.x + 20, middle);
  pause(400000);
  Grab panelGrab(screen, panel);
  const std::vector<std::uint32_t> panelBefore = panelGrab.pixels();
  // What changes with the pointer still (the focused field's caret blinks
  // every 0.5 s) is no readout.
  std::vector<bool> blinking;
  for (int i = 0; i < 12; ++i) {
    pause(100000);
    panelGrab.take();
    panelGrab.markChanges(panelBefore, blinking);
  }
  movePointer(screen, plot.x + 120, middle + 1);
  pause(400000);
  panelGrab.take();
  const Area changed = panelGrab.changedArea(panelBefore, blinking);
  if (changed.width == 0) {
    end(pid);
    die("the readout labels did not change when the pointer moved over the plot");
  }
  const Area readouts = padded(
      Area{panel.x + changed.x, panel.y + changed.y, changed.width, changed.height}, panel, 2);
  Grab readoutGrab(screen, readouts);

  std::vector<double> ring, labels, both;
  int missed = 0;
  int column = 120;
  const double cpuBefore = cpuMilliseconds(pid);
  const double serverBefore = o.server > 0 ? cpuMilliseconds(o.server) : 0;
  for (int i = 0; i < o.moves; ++i) {
    column = 20 + (column - 20 + 7) % (plot.width - 40);
    const int x = plot.x + column;
    const int y = middle + (i & 1);
    // The ring: a band of columns around the new one (the old ring, 7 columns
    // back, is within it too).
    Grab ringGrab(screen, Area{std::max(plot.x, x - 24), plot.y, 48, plot.height});
    const std::vector<std::uint32_t> ringBefore = ringGrab.pixels();
    readoutGrab.take();
    const std::vector<std::uint32_t> readoutBefore = readoutGrab.pixels();
    double ringAt = -1, labelsAt = -1;
    const Clock::time_point start = Clock::now();
    movePointer(screen, x, y);
    const bool seen = pollUntil(
        [&] {
          if (ringAt < 0) {
            ringGrab.take();
            if (ringGrab.differsFrom(ringBefore)) ringAt = millisecondsSince(start);
          }
          if (labelsAt < 0) {
            readoutGrab.take();
            if (readoutGrab.differsFrom(readoutBefore)) labelsAt = millisecondsSince(start);
          }
          return ringAt >= 0 && labelsAt >= 0;
        },
        1000, o.intervalUs);
    if (!seen) {
      ++missed;
    } else {
      ring.push_back(ringAt);
      labels.push_back(labelsAt);
      both.push_back(std::max(ringAt, labelsAt));
    }
    pause(30000);  // what follows the first changed pixels is painted too
  }
  const double cpu = cpuMilliseconds(pid) - cpuBefore;
  const double server = o.server > 0 ? cpuMilliseconds(o.server) - serverBefore : 0;
  const bool alive = running(pid);
  end(pid);
  fs::remove_all(work);
  if (!alive) die("the program ended during the moves");

  std::printf("pointer moves over the plot, window %dx%d, %d moves, screen read every %d us\n",
              window.width, window.height, o.moves, o.intervalUs);
  std::printf("  (readouts found in %dx%d+%d+%d, the window at +%d+%d)\n", readouts.width,
              readouts.height, readouts.x, readouts.y, window.x, window.y);
  std::printf("  %-44s %s\n", "", "median  (min .. max)");
  row("move sent to the ring changed on screen", ring);
  row("move sent to the readouts changed on screen", labels);
  row("move sent to both changed", both);
  std::printf("  %-44s %d\n", "moves with no change within 1 s", missed);
  std::printf("  %-44s %.2f ms\n", "kurvana: CPU per move", cpu / o.moves);
  if (o.server > 0)
    std::printf("  %-44s %.2f ms\n", "X server: CPU per move (probe reads incl.)",
                server / o.moves);
  return missed == 0 ? 0 : 1;
}
