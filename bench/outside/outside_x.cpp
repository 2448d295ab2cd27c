#include "outside_x.h"

// The program's headers before Xlib's, whose macros (Status, None, Bool)
// would rewrite them.
// clang-format off
#include "app/window_geometry.h"
#include "files/settings_record.h"
// clang-format on

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace kurvana::outside {

namespace fs = std::filesystem;

double millisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void pause(int microseconds) {
  std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

void die(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
  std::exit(1);
}

Server::Server() {
  display_ = XOpenDisplay(nullptr);
  if (display_ == nullptr) die("cannot open the X display (is DISPLAY set?)");
  const int screen = DefaultScreen(display_);
  width_ = DisplayWidth(display_, screen);
  height_ = DisplayHeight(display_, screen);
  shm_ = XShmQueryExtension(display_) == True;
}

Server::~Server() {
  XCloseDisplay(display_);
}

void movePointer(const Server& server, int x, int y) {
  XTestFakeMotionEvent(server.display(), -1, x, y, CurrentTime);
  XFlush(server.display());
}

void pressButton(const Server& server, unsigned button, bool down) {
  XTestFakeButtonEvent(server.display(), button, down ? True : False, CurrentTime);
  XFlush(server.display());
}

Grab::Grab(const Server& screen, Area area) : screen_(screen), area_(area) {
  if (area.x < 0 || area.y < 0 || area.width <= 0 || area.height <= 0 ||
      area.x + area.width > screen.width() || area.y + area.height > screen.height()) {
    die("an area to read lies outside the screen");
  }
  Display* d = screen.display();
  const int s = DefaultScreen(d);
  if (screen.haveShm()) {
    auto* info = new XShmSegmentInfo{};
    image_ = XShmCreateImage(d, DefaultVisual(d, s), static_cast<unsigned>(DefaultDepth(d, s)),
                             ZPixmap, nullptr, info, static_cast<unsigned>(area.width),
                             static_cast<unsigned>(area.height));
    if (image_ != nullptr) {
      shmId_ = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * area.height,
                      IPC_CREAT | 0600);
      if (shmId_ >= 0) {
        shmAddress_ = shmat(shmId_, nullptr, 0);
        info->shmid = shmId_;
        info->shmaddr = image_->data = static_cast<char*>(shmAddress_);
        info->readOnly = False;
        XShmAttach(d, info);
        XSync(d, False);
        // Marked for removal now, so that it goes with the probe however it ends.
        shmctl(shmId_, IPC_RMID, nullptr);
        shm_ = true;
      } else {
        XDestroyImage(image_);
        image_ = nullptr;
        delete info;
      }
    } else {
      delete info;
    }
  }
  take();
}

Grab::~Grab() {
  if (image_ == nullptr) return;
  if (shm_) {
    auto* info = reinterpret_cast<XShmSegmentInfo*>(image_->obdata);
    XShmDetach(screen_.display(), info);
    XSync(screen_.display(), False);
    image_->data = nullptr;
    XDestroyImage(image_);
    shmdt(shmAddress_);
    delete info;
  } else {
    XDestroyImage(image_);
  }
}

void Grab::take() {
  Display* d = screen_.display();
  const Window root = DefaultRootWindow(d);
  if (shm_) {
    if (!XShmGetImage(d, root, image_, area_.x, area_.y, AllPlanes)) die("XShmGetImage failed");
    return;
  }
  if (image_ != nullptr) XDestroyImage(image_);
  image_ = XGetImage(d, root, area_.x, area_.y, static_cast<unsigned>(area_.width),
                     static_cast<unsigned>(area_.height), AllPlanes, ZPixmap);
  if (image_ == nullptr) die("XGetImage failed");
}

std::uint32_t Grab::raw(int x, int y) const {
  if (image_->bits_per_pixel == 32) {
    std::uint32_t p;
    std::memcpy(&p, image_->data + static_cast<std::ptrdiff_t>(y) * image_->bytes_per_line + x * 4,
                4);
    return p;
  }
  return static_cast<std::uint32_t>(XGetPixel(image_, x, y));
}

Rgb Grab::at(int x, int y) const {
  const std::uint32_t p = raw(x, y);
  // A 24-bit TrueColor screen, as Xvfb's -screen WxHx24 is.
  const auto channel = [p](unsigned long mask) {
    const int shift = __builtin_ctzl(mask);
    return static_cast<std::uint8_t>((p & mask) >> shift);
  };
  return Rgb{channel(image_->red_mask), channel(image_->green_mask), channel(image_->blue_mask)};
}

int Grab::count(Rgb colour) const {
  int n = 0;
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x) n += at(x, y) == colour;
  }
  return n;
}

int Grab::countCurve() const {
  int n = 0;
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x) {
      const Rgb c = at(x, y);
      n += c == kCurve || c == kCurveDark;
    }
  }
  return n;
}

std::vector<std::uint32_t> Grab::pixels() const {
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<std::size_t>(area_.width) * area_.height);
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x) out.push_back(raw(x, y) & 0xFFFFFFu);
  }
  return out;
}

bool Grab::differsFrom(const std::vector<std::uint32_t>& before) const {
  std::size_t i = 0;
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x, ++i) {
      if ((raw(x, y) & 0xFFFFFFu) != before[i]) return true;
    }
  }
  return false;
}

void Grab::markChanges(const std::vector<std::uint32_t>& before, std::vector<bool>& changed) const {
  changed.resize(before.size());
  std::size_t i = 0;
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x, ++i) {
      if ((raw(x, y) & 0xFFFFFFu) != before[i]) changed[i] = true;
    }
  }
}

Area Grab::changedArea(const std::vector<std::uint32_t>& before,
                       const std::vector<bool>& ignored) const {
  int left = area_.width, top = area_.height, right = -1, bottom = -1;
  std::size_t i = 0;
  for (int y = 0; y < area_.height; ++y) {
    for (int x = 0; x < area_.width; ++x, ++i) {
      if ((raw(x, y) & 0xFFFFFFu) == before[i] || (!ignored.empty() && ignored[i])) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return Area{};
  return Area{left, top, right - left + 1, bottom - top + 1};
}

Area mainWindowArea(const Server& screen, int width, int height) {
  const Size screenSize{screen.width(), screen.height()};
  const Size size = fitToScreen(Size{width, height}, screenSize);
  const Point at = centredOn(Point{0, 0}, screenSize, size);
  return Area{at.x, at.y, size.width, size.height};
}

Area splashArea(const Server& screen) {
  const Point at = splashPosition(Size{screen.width(), screen.height()});
  return Area{at.x, at.y, kSplashSize.width, kSplashSize.height};
}

Area plotArea(const Area& window) {
  return Area{window.x + 8, window.y + 40, window.width - 200, window.height - 100};
}

Area plotBand(const Area& window) {
  const Area plot = plotArea(window);
  return Area{plot.x + plot.width / 2 - 8, plot.y, 16, plot.height};
}

void prepareHome(const fs::path& folder, int width, int height) {
  fs::remove_all(folder);
  const fs::path data = folder / "Documents/Talvoren/Kurvana";
  fs::create_directories(data);
  for (const char* sub : {".config", ".local/share", ".cache"})
    fs::create_directories(folder / sub);
  fs::create_directories(folder / "runtime");
  fs::permissions(folder / "runtime", fs::perms::owner_all);
  PlotState state;
  state.optCircle = flagOn;
  const auto written = writeSettings(data / "Kurvana.ini", state, WindowExtent{width, height});
  if (!written.message().empty()) die("cannot write the settings record: " + written.message());
  std::ofstream(data / "Kurvana.lst", std::ios::binary) << "F(x)=sin(x)*x/3\r\n";
}

std::vector<std::string> programEnvironment(const fs::path& home) {
  static const std::vector<std::string> replaced = {
      "WAYLAND_DISPLAY",     "DBUS_SESSION_BUS_ADDRESS",
      "XDG_CURRENT_DESKTOP", "HOME",
      "XDG_CONFIG_HOME",     "XDG_DATA_HOME",
      "XDG_CACHE_HOME",      "XDG_RUNTIME_DIR",
      "QT_QPA_PLATFORM",     "LC_ALL"};
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry(*e);
    const std::string name = entry.substr(0, entry.find('='));
    if (std::find(replaced.begin(), replaced.end(), name) == replaced.end()) out.push_back(entry);
  }
  out.push_back("HOME=" + home.string());
  out.push_back("XDG_CONFIG_HOME=" + (home / ".config").string());
  out.push_back("XDG_DATA_HOME=" + (home / ".local/share").string());
  out.push_back("XDG_CACHE_HOME=" + (home / ".cache").string());
  out.push_back("XDG_RUNTIME_DIR=" + (home / "runtime").string());
  out.push_back("QT_QPA_PLATFORM=xcb");
  out.push_back("LC_ALL=C.UTF-8");
  return out;
}

pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const fs::path& log) {
  std::vector<char*> args, env;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const std::string& e : environment) env.push_back(const_cast<char*>(e.c_str()));
  env.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) die("cannot start " + argv[0] + ": " + std::strerror(failed));
  return pid;
}

namespace {

// The fields of /proc/PID/stat after the command's name, from the state on.
std::vector<std::string> statFields(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return {};
  std::istringstream rest(text.substr(close + 1));
  std::vector<std::string> fields;
  for (std::string f; rest >> f;) fields.push_back(f);
  return fields;
}

}  // namespace

double cpuMilliseconds(pid_t pid) {
  const std::vector<std::string> f = statFields(pid);
  // Fields 14 and 15 of the file (utime, stime) are the 12th and 13th here.
  if (f.size() < 13) return -1;
  const double ticks = std::stod(f[11]) + std::stod(f[12]);
  return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

bool running(pid_t pid) {
  const std::vector<std::string> f = statFields(pid);
  return !f.empty() && f[0] != "Z";
}

void end(pid_t pid) {
  kill(pid, SIGTERM);
  const Clock::time_point start = Clock::now();
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (millisecondsSince(start) > 2000) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return;
    }
    pause(1000);
  }
}

pid_t startWithPlot(const Server& screen, const std::vector<std::string>& argv,
                    const fs::path& home, int width, int height, const fs::path& log) {
  prepareHome(home, width, height);
  Grab band(screen, plotBand(mainWindowArea(screen, width, height)));
  const pid_t pid = spawn(argv, programEnvironment(home), log);
  const bool shown = pollUntil(
      [&] {
        band.take();
        return band.countCurve() >= kCurveInBand || !running(pid);
      },
      20000, 2000);
  if (!shown || !running(pid)) {
    end(pid);
    die(argv[0] + " showed no plot within 20 s; its output is in " + log.string());
  }
  return pid;
}

Summary summarise(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return Summary{median, values.front(), values.back()};
}

std::string describe(const Summary& s, int decimals) {
  char text[96];
  std::snprintf(text, sizeof text, "%.*f  (%.*f .. %.*f)", decimals, s.median, decimals, s.min,
                decimals, s.max);
  return text;
}

bool parseSize(const std::string& text, int& width, int& height) {
  char x = 0;
  char extra = 0;
  return std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &extra) == 3 && x == 'x' &&
         width > 0 && height > 0;
}

}  // namespace kurvana::outside
