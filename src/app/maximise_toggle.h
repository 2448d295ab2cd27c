// The maximise caption button over window systems that honour, refuse or
// ignore a request to maximise. The button goes by our own record of the
// state, not by the window system's word alone, so that its second press
// always restores; the window feeds in the presses and the window system's
// answers and carries out the requests that come back.
#pragma once

#include <optional>
#include <vector>

#include "app/window_geometry.h"

namespace kurvana {

// How long the window waits for the window system to answer a request
// before it goes on without: long for a window manager, which answers in
// milliseconds; one that never answers is simply not there.
inline constexpr int kWindowSystemAnswerMs = 1000;

// A compositor shows nothing of its panels; this much room is left for
// them before a maximised window is expected to keep the smallest size.
inline constexpr int kUnknownPanelRoom = 100;

enum class WindowSystemKind {
  // X11: a window manager may honour, refuse or ignore a request, leaves a
  // window where the program puts it and publishes the work area.
  kWindowManager,
  // Wayland: the compositor places windows itself, answers every request
  // and publishes no work area; resizing a window it holds maximised, or
  // has been asked to, is a protocol error that ends the program.
  kCompositor,
};

// What the button's press is judged against.
struct WindowSystemFacts {
  Size screen;          // the button's rule compares the window with it
  WindowRect workArea;  // where a maximised window goes
  WindowSystemKind kind = WindowSystemKind::kWindowManager;
};

// The window as the window knows it: `held` says the window system holds it
// maximised (or has been asked to and has not said otherwise).
struct WindowNow {
  bool held = false;
  WindowRect geometry;
};

struct WindowRequest {
  enum class Kind { kMaximised, kNormal, kGeometry };
  Kind kind = Kind::kNormal;
  // kGeometry: where a compositor places windows, only the size is asked for.
  WindowRect geometry;
  static WindowRequest maximised() { return {Kind::kMaximised, {}}; }
  static WindowRequest normal() { return {Kind::kNormal, {}}; }
  static WindowRequest place(WindowRect rect) { return {Kind::kGeometry, rect}; }
  bool operator==(const WindowRequest&) const = default;
};
using WindowRequests = std::vector<WindowRequest>;

class MaximiseToggle {
 public:
  // The caption button was pressed. A press while an answer is awaited
  // waits for it: takeWaitingPress() then says to press again.
  WindowRequests pressed(WindowNow now, const WindowSystemFacts& facts);
  bool takeWaitingPress();
  // The window system reported a state of its own accord (not the echo of
  // a request), or gave the window a new size, or did not answer in time.
  WindowRequests stateReported(WindowNow now);
  WindowRequests resized(WindowNow now);
  WindowRequests answerOverdue(WindowNow now);
  // The user resized the window with the grip: a window we made large is no
  // longer maximised.
  void sizedByHand();

  // Our record: the caption button shows the restore glyph.
  bool maximised() const { return maximised_; }
  // A request is out; the window runs its answer timer.
  bool awaitingAnswer() const { return phase_ != Phase::kIdle; }
  // Whether the window may size itself now: never while the window system
  // holds it maximised or a request is out.
  bool mayResize(bool held) const { return phase_ == Phase::kIdle && !held; }

 private:
  enum class Phase { kIdle, kMaximising, kRestoring };

  WindowRequests restoreTo(WindowRect normal, WindowNow now);
  WindowRequests placeLargest(WindowNow now);
  void heldBySystem();

  Phase phase_ = Phase::kIdle;
  bool maximised_ = false;
  bool ours_ = false;  // maximised by sizing the window ourselves
  bool pressWaiting_ = false;
  std::optional<WindowRect> normal_;  // the geometry before maximising
  WindowSystemFacts facts_;
};

}  // namespace kurvana
