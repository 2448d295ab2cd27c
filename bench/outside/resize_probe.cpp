// Live resize measured from outside the program: an X client that resizes
// the running window step by step, either as a window manager would (a
// ConfigureWindow request) or by dragging its size grip with synthetic
// pointer events, and times each step from the request until the screen
// shows the plot's bottom-right corner at the new size. The program's CPU
// comes from /proc (all its threads). Steps that grow the window past the
// largest size so far are counted apart from the others: the window
// system's buffers are sized by the largest window.
//
//   resize_probe --pid PID [--mode configure|grip] [--from WxH] [--to WxH]
//                [--step DXxDY] [--cycles N] [--server-pid PID]
//
// The window is first set to --from at the screen's top-left corner; then it
// grows by --step to --to (the growing steps), and --cycles times shrinks
// back to --from and grows to --to again (the steady steps, within the
// largest size already reached). With --server-pid the X server's CPU per
// step is told as well.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The plot picture's place in the window (the core's layout): its top-left
// at (8, 40), its size the window's less 200 x 100.
constexpr int kPlotRightInset = 192;  // first column right of the picture, from the right edge
constexpr int kPlotBottomInset = 60;  // first row below the picture, from the bottom edge
// The patch grabbed around the picture's bottom-right corner.
constexpr int kPatch = 8;

struct Size {
  int w = 0;
  int h = 0;
};

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "resize_probe: %s\n", why.c_str());
  std::exit(1);
}

std::optional<Size> parseSize(const char* text) {
  Size s;
  char x = 0;
  std::istringstream in(text);
  if (!(in >> s.w >> x >> s.h) || x != 'x' || s.w <= 0 || s.h <= 0) return std::nullopt;
  return s;
}

// CPU time of all the process's threads, in nanoseconds (schedstat: time
// on a CPU, not rounded to clock ticks as /proc/PID/stat is).
std::uint64_t processCpuNs(int pid) {
  const std::string dir = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = opendir(dir.c_str());
  if (tasks == nullptr) die("the program has ended");
  std::uint64_t total = 0;
  while (const dirent* e = readdir(tasks)) {
    if (e->d_name[0] == '.') continue;
    std::ifstream in(dir + "/" + e->d_name + "/schedstat");
    std::uint64_t onCpu = 0;
    if (in >> onCpu) total += onCpu;
  }
  closedir(tasks);
  return total;
}

// utime + stime of /proc/PID/stat, in clock ticks.
long processCpuTicks(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long utime = 0, stime = 0;
  for (int i = 3; fields >> field; ++i) {
    if (i == 14) utime = std::stol(field);
    if (i == 15) {
      stime = std::stol(field);
      break;
    }
  }
  return utime + stime;
}

class Probe {
 public:
  Probe(int pid, bool grip, int serverPid) : pid_(pid), grip_(grip), serverPid_(serverPid) {
    dpy_ = XOpenDisplay(nullptr);
    if (dpy_ == nullptr) die("cannot open the display");
    root_ = DefaultRootWindow(dpy_);
    int opcode = 0, event = 0, error = 0, major = 0, minor = 0;
    if (!XShmQueryExtension(dpy_)) die("the server has no MIT-SHM");
    if (!XQueryExtension(dpy_, "XTEST", &opcode, &event, &error) ||
        !XTestQueryExtension(dpy_, &event, &error, &major, &minor)) {
      die("the server has no XTEST");
    }
    const int screen = DefaultScreen(dpy_);
    image_ = XShmCreateImage(dpy_, DefaultVisual(dpy_, screen), DefaultDepth(dpy_, screen), ZPixmap,
                             nullptr, &shm_, kPatch * 2, kPatch * 2);
    shm_.shmid = shmget(IPC_PRIVATE, image_->bytes_per_line * image_->height, IPC_CREAT | 0600);
    if (shm_.shmid < 0) die("shmget failed");
    shm_.shmaddr = image_->data = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    shm_.readOnly = False;
    XShmAttach(dpy_, &shm_);
    XSync(dpy_, False);
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    window_ = findWindow();
    if (window_ == 0) die("no window of process " + std::to_string(pid) + " is shown");
  }

  ~Probe() {
    XShmDetach(dpy_, &shm_);
    shmdt(shm_.shmaddr);
    XCloseDisplay(dpy_);
  }

  Size size() {
    XWindowAttributes a;
    XGetWindowAttributes(dpy_, window_, &a);
    return Size{a.width, a.height};
  }

  // Places the window at the screen's top-left corner with size s and waits
  // until it shows that size; learns the picture's corner colour there.
  void prepare(Size s) {
    XMoveResizeWindow(dpy_, window_, 0, 0, static_cast<unsigned>(s.w), static_cast<unsigned>(s.h));
    XFlush(dpy_);
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (true) {
      locate();
      const Size now = size();
      if (now.w == s.w && now.h == s.h && at_.first == 0 && at_.second == 0) break;
      if (Clock::now() > deadline) die("the window did not take its starting size and place");
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    waitQuiet(std::chrono::milliseconds(300));
    grab(s);
    plotColour_ = pixel(kPatch - 1, kPatch - 1);
    if (!shows(s)) {
      die("the picture's last row and column are not one colour, or the chrome next to them "
          "has it");
    }
    current_ = s;
    largest_ = s;
  }

  struct Step {
    double wallMs;
    double cpuMs;
    double serverCpuMs;
    bool growing;
  };

  // One step to size s: the request, the wait for its pixels, and the CPU
  // the program spent until it went quiet.
  Step step(Size s) {
    const bool growing = static_cast<long>(s.w) * s.h > static_cast<long>(largest_.w) * largest_.h;
    const std::uint64_t cpu0 = processCpuNs(pid_);
    const std::uint64_t server0 = serverPid_ > 0 ? processCpuNs(serverPid_) : 0;
    const auto t0 = Clock::now();
    if (grip_) {
      XTestFakeMotionEvent(dpy_, -1, at_.first + s.w - 8, at_.second + s.h - 7, CurrentTime);
    } else {
      XResizeWindow(dpy_, window_, static_cast<unsigned>(s.w), static_cast<unsigned>(s.h));
    }
    XFlush(dpy_);
    const auto deadline = t0 + std::chrono::seconds(5);
    while (true) {
      grab(s);
      if (shows(s)) break;
      if (Clock::now() > deadline) {
        die("the window did not show " + std::to_string(s.w) + "x" + std::to_string(s.h) +
            " within 5 s");
      }
      std::this_thread::sleep_for(std::chrono::microseconds(250));
    }
    const auto t1 = Clock::now();
    waitQuiet(std::chrono::milliseconds(30));
    const std::uint64_t cpu1 = processCpuNs(pid_);
    const std::uint64_t server1 = serverPid_ > 0 ? processCpuNs(serverPid_) : 0;
    current_ = s;
    if (growing) largest_ = s;
    return Step{std::chrono::duration<double, std::milli>(t1 - t0).count(),
                static_cast<double>(cpu1 - cpu0) / 1e6,
                static_cast<double>(server1 - server0) / 1e6, growing};
  }

  void pressGrip() {
    const Size s = current_;
    XTestFakeMotionEvent(dpy_, -1, at_.first + s.w - 8, at_.second + s.h - 7, CurrentTime);
    XTestFakeButtonEvent(dpy_, 1, True, CurrentTime);
    XFlush(dpy_);
    // The press reaches the program, which starts the window manager's
    // resize or its own.
    waitQuiet(std::chrono::milliseconds(200));
  }

  void releaseGrip() {
    XTestFakeButtonEvent(dpy_, 1, False, CurrentTime);
    XFlush(dpy_);
    waitQuiet(std::chrono::milliseconds(500));
  }

 private:
  // The program's top-level window of the largest area (the main window; the
  // splash is smaller), found by its _NET_WM_PID, also inside a window
  // manager's frames.
  Window findWindow() {
    Window best = 0;
    long bestArea = 0;
    const Atom pidAtom = XInternAtom(dpy_, "_NET_WM_PID", False);
    std::vector<std::pair<Window, int>> todo{{root_, 0}};
    while (!todo.empty()) {
      const auto [w, depth] = todo.back();
      todo.pop_back();
      Window r = 0, parent = 0, *children = nullptr;
      unsigned n = 0;
      if (!XQueryTree(dpy_, w, &r, &parent, &children, &n)) continue;
      for (unsigned i = 0; i < n; ++i) {
        const Window c = children[i];
        if (depth < 2) todo.push_back({c, depth + 1});
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(dpy_, c, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items,
                               &after, &data) != Success) {
          continue;
        }
        const bool ours = data != nullptr && items == 1 && format == 32 &&
                          static_cast<int>(*reinterpret_cast<unsigned long*>(data)) == pid_;
        if (data != nullptr) XFree(data);
        if (!ours) continue;
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy_, c, &a) || a.map_state != IsViewable) continue;
        const long area = static_cast<long>(a.width) * a.height;
        if (a.width >= 900 && area > bestArea) {
          bestArea = area;
          best = c;
        }
      }
      if (children != nullptr) XFree(children);
    }
    return best;
  }

  void locate() {
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(dpy_, window_, root_, 0, 0, &x, &y, &child);
    at_ = {x, y};
  }

  // The patch whose centre is the picture's bottom-right corner at size s.
  void grab(Size s) {
    const int x = at_.first + s.w - kPlotRightInset - kPatch;
    const int y = at_.second + s.h - kPlotBottomInset - kPatch;
    if (!XShmGetImage(dpy_, root_, image_, x, y, AllPlanes)) die("XShmGetImage failed");
  }

  unsigned long pixel(int x, int y) const { return XGetPixel(image_, x, y) & 0xFFFFFF; }

  // The picture ends at size s's corner: its last column and row (near the
  // corner, clear of the axis labels) in its colour, the chrome just right
  // of it and just below it in others.
  bool shows(Size) const {
    for (int i = 0; i < kPatch; ++i) {
      if (pixel(kPatch - 1, i) != plotColour_ || pixel(i, kPatch - 1) != plotColour_) return false;
      if (pixel(kPatch, i) == plotColour_ || pixel(i, kPatch) == plotColour_) return false;
    }
    return true;
  }

  // Until the program has used no CPU for `quiet` (at most 2 s).
  void waitQuiet(std::chrono::milliseconds quiet) {
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    std::uint64_t last = processCpuNs(pid_);
    auto since = Clock::now();
    while (Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      const std::uint64_t now = processCpuNs(pid_);
      if (now != last) {
        last = now;
        since = Clock::now();
      } else if (Clock::now() - since >= quiet) {
        return;
      }
    }
  }

  int pid_;
  bool grip_;
  int serverPid_;
  Display* dpy_ = nullptr;
  Window root_ = 0;
  Window window_ = 0;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  std::pair<int, int> at_{0, 0};
  unsigned long plotColour_ = 0;
  Size current_;
  Size largest_;
};

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
}

void report(const char* name, const std::vector<Probe::Step>& steps, bool growing,
            bool withServer) {
  std::vector<double> wall, cpu, server;
  for (const Probe::Step& s : steps) {
    if (s.growing != growing) continue;
    wall.push_back(s.wallMs);
    cpu.push_back(s.cpuMs);
    server.push_back(s.serverCpuMs);
  }
  if (wall.empty()) {
    std::printf("%-8s steps 0\n", name);
    return;
  }
  std::printf(
      "%-8s steps %3zu  wall ms: median %6.2f  p90 %6.2f  max %6.2f   cpu ms: median %6.2f  "
      "p90 %6.2f  max %6.2f\n",
      name, wall.size(), median(wall), quantile(wall, 0.9), quantile(wall, 1.0), median(cpu),
      quantile(cpu, 0.9), quantile(cpu, 1.0));
  if (withServer) {
    std::printf("%-8s X server cpu ms: median %6.2f  p90 %6.2f  max %6.2f\n", "", median(server),
                quantile(server, 0.9), quantile(server, 1.0));
  }
}

}  // namespace

int main(int argc, char** argv) {
  int pid = 0;
  int serverPid = 0;
  bool grip = false;
  Size from{2000, 1280}, to{2240, 1440}, step{8, 5};
  int cycles = 2;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (value == nullptr) die("usage: see the comment at the top of resize_probe.cpp");
    ++i;
    std::optional<Size> s;
    if (arg == "--pid") {
      pid = std::atoi(value);
    } else if (arg == "--server-pid") {
      serverPid = std::atoi(value);
    } else if (arg == "--mode") {
      if (std::strcmp(value, "grip") != 0 && std::strcmp(value, "configure") != 0) {
        die("--mode is configure or grip");
      }
      grip = std::strcmp(value, "grip") == 0;
    } else if (arg == "--cycles") {
      cycles = std::atoi(value);
    } else if ((s = parseSize(value)) && arg == "--from") {
      from = *s;
    } else if (s && arg == "--to") {
      to = *s;
    } else if (s && arg == "--step") {
      step = *s;
    } else {
      die("unknown option or bad value: " + arg + " " + value);
    }
  }
  if (pid <= 0) die("--pid is needed");
  if (from.w > to.w || from.h > to.h) die("--from must not be larger than --to");

  // The sizes from one end to the other, both included.
  std::vector<Size> up;
  for (Size s = from;;) {
    s.w = std::min(s.w + step.w, to.w);
    s.h = std::min(s.h + step.h, to.h);
    up.push_back(s);
    if (s.w == to.w && s.h == to.h) break;
  }
  std::vector<Size> down;
  for (auto it = up.rbegin() + 1; it != up.rend(); ++it) down.push_back(*it);
  down.push_back(from);

  Probe probe(pid, grip, serverPid);
  probe.prepare(from);
  const long ticks0 = processCpuTicks(pid);
  const std::uint64_t cpu0 = processCpuNs(pid);
  if (grip) probe.pressGrip();
  std::vector<Probe::Step> steps;
  for (const Size& s : up) steps.push_back(probe.step(s));
  for (int c = 0; c < cycles; ++c) {
    for (const Size& s : down) steps.push_back(probe.step(s));
    for (const Size& s : up) steps.push_back(probe.step(s));
  }
  if (grip) probe.releaseGrip();
  const long ticks1 = processCpuTicks(pid);
  const std::uint64_t cpu1 = processCpuNs(pid);

  std::printf("resize_probe: %s, %dx%d to %dx%d by %dx%d, %d cycles\n",
              grip ? "grip drag" : "configure requests", from.w, from.h, to.w, to.h, step.w, step.h,
              cycles);
  report("growing", steps, true, serverPid > 0);
  report("steady", steps, false, serverPid > 0);
  std::printf("process cpu over the run: %.1f ms (schedstat), %ld ticks of %ld Hz (stat)\n",
              static_cast<double>(cpu1 - cpu0) / 1e6, ticks1 - ticks0, sysconf(_SC_CLK_TCK));
  return 0;
}
