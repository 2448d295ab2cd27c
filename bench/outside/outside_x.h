// What the probes that time the window from outside its process share: the X
// screen read back through shared memory, the window started as a user starts
// it (its own process, a prepared home), where its parts appear on the
// screen, and the statistics printed.
//
// Everything is timed with the monotonic clock from just before the program
// is spawned or the input is sent, to the moment the pixels are read back from
// the server: what a user sees, not what the program believes it painted.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Display = struct _XDisplay;
using XImage = struct _XImage;

namespace kurvana::outside {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start);
// Sleeps for the poll interval between two screen reads.
void pause(int microseconds);

// Prints the message to stderr and ends the probe with status 1.
[[noreturn]] void die(const std::string& message);

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// The curve's default colour (0xFF6060, 0x00BBGGRR) and its dark companion
// below the x axis: each channel * 8 / 10.
inline constexpr Rgb kCurve{0x60, 0x60, 0xFF};
inline constexpr Rgb kCurveDark{0x4C, 0x4C, 0xCC};

struct Area {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The connection to the server named by DISPLAY: its screen's size, and
// whether it offers shared-memory images.
class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  Display* display() const { return display_; }
  int width() const { return width_; }
  int height() const { return height_; }
  bool haveShm() const { return shm_; }

 private:
  Display* display_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  bool shm_ = false;
};

// One area of the root window read back, through a shared-memory segment
// where the server offers one (one copy, no socket transfer), else plainly.
class Grab {
 public:
  Grab(const Server& screen, Area area);
  ~Grab();
  Grab(const Grab&) = delete;
  Grab& operator=(const Grab&) = delete;

  // Reads the area as it is now on the screen.
  void take();
  const Area& area() const { return area_; }
  // Pixels relative to the area's corner.
  Rgb at(int x, int y) const;
  int count(Rgb colour) const;
  int countCurve() const;  // pixels in either curve colour
  // The pixels as read, to compare later reads with.
  std::vector<std::uint32_t> pixels() const;
  bool differsFrom(const std::vector<std::uint32_t>& before) const;
  // The smallest area (relative to the grab) holding every pixel that differs,
  // leaving out those marked in `ignored` (when not empty).
  Area changedArea(const std::vector<std::uint32_t>& before,
                   const std::vector<bool>& ignored = {}) const;
  // Marks in `changed` the pixels that differ from `before`.
  void markChanges(const std::vector<std::uint32_t>& before, std::vector<bool>& changed) const;

 private:
  std::uint32_t raw(int x, int y) const;

  const Server& screen_;
  Area area_;
  XImage* image_ = nullptr;
  bool shm_ = false;
  int shmId_ = -1;
  void* shmAddress_ = nullptr;
};

// Synthetic input through XTest, sent at once: the pointer to a screen point,
// a button pressed or released where the pointer is.
void movePointer(const Server& server, int x, int y);
void pressButton(const Server& server, unsigned button, bool down);

// The main window's and the splash's places on a screen, as the program puts
// them there (centred; the splash two fifths down), and the plot's inside the
// main window: 8 pixels in, below the 40-pixel title bar and field row, 200
// pixels narrower and 100 lower than the window.
Area mainWindowArea(const Server& screen, int width, int height);
Area splashArea(const Server& screen);
Area plotArea(const Area& window);
// A band of columns across the plot's middle: every column of a function
// plotted within range holds curve pixels, so the band shows the first plot.
Area plotBand(const Area& window);
// Curve pixels in the band that mean the plot is on the screen: half its
// columns' worth, so that a chrome pixel of a similar colour never counts.
inline constexpr int kCurveInBand = 8;

// A home in `folder` whose user last drew sin(x)*x/3 with the ring on, in a
// window of the given size: the window draws that plot at start-up. Any
// earlier content of the folder is removed first.
void prepareHome(const std::filesystem::path& folder, int width, int height);

// The environment for a program started in that home on the X server: the
// caller's, less the Wayland and session-bus variables, with the home's
// folders, a private runtime folder, the xcb platform and the C locale.
std::vector<std::string> programEnvironment(const std::filesystem::path& home);

// Starts the program with its output to `log`; dies when it cannot.
pid_t spawn(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
            const std::filesystem::path& log);
// The CPU a process has used so far (user + system, all threads), in
// milliseconds at the clock tick's resolution (10 ms here); -1 once it is gone.
double cpuMilliseconds(pid_t pid);
// True while the process runs (a zombie does not).
bool running(pid_t pid);
// Ends the process (TERM, after 2 s KILL) and reaps it.
void end(pid_t pid);

// Starts the program (argv) in the home prepared for a window of the given
// size and waits, up to 20 s, until its first plot shows in the window's plot
// band; dies, naming `log`, when it does not.
pid_t startWithPlot(const Server& screen, const std::vector<std::string>& argv,
                    const std::filesystem::path& home, int width, int height,
                    const std::filesystem::path& log);

// Polls `done` every `intervalUs` until it is true or `timeoutMs` passed;
// false on the time-out.
template <class Done>
bool pollUntil(Done done, double timeoutMs, int intervalUs) {
  const Clock::time_point start = Clock::now();
  while (!done()) {
    if (millisecondsSince(start) > timeoutMs) return false;
    pause(intervalUs);
  }
  return true;
}

struct Summary {
  double median = 0;
  double min = 0;
  double max = 0;
};
Summary summarise(std::vector<double> values);
// "median  (min .. max)" with the given decimals.
std::string describe(const Summary& s, int decimals = 1);

// "WxH" into width and height; false for anything else.
bool parseSize(const std::string& text, int& width, int& height);

}  // namespace kurvana::outside
