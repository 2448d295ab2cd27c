#include "app/maximise_toggle.h"

namespace kurvana {
namespace {

// Whether the window system's maximised window would keep within the size
// limits. Beyond them a window manager does as it likes (keeps the size,
// or gives the largest one without the maximised state) and a compositor
// ends the program with a protocol error, so the window sizes itself.
bool systemMaximiseFits(const WindowSystemFacts& facts) {
  const int room = facts.kind == WindowSystemKind::kCompositor ? kUnknownPanelRoom : 0;
  const Size work = facts.workArea.size();
  return work.width <= kMaxWindowSize.width && work.height <= kMaxWindowSize.height &&
         work.width - room >= kMinWindowSize.width && work.height - room >= kMinWindowSize.height;
}

}  // namespace

WindowRequests MaximiseToggle::pressed(WindowNow now, const WindowSystemFacts& facts) {
  // A second press before the first was answered would judge a state
  // nobody knows yet.
  if (phase_ != Phase::kIdle) {
    pressWaiting_ = true;
    return {};
  }
  facts_ = facts;
  if (maximised_ || countsAsMaximised(now.held, now.geometry.size(), facts.screen)) {
    if (now.held) {
      phase_ = Phase::kRestoring;
      return {WindowRequest::normal()};
    }
    return restoreTo(normal_.value_or(now.geometry), now);
  }
  normal_ = now.geometry;
  if (!systemMaximiseFits(facts)) return placeLargest(now);
  phase_ = Phase::kMaximising;
  return {WindowRequest::maximised()};
}

bool MaximiseToggle::takeWaitingPress() {
  if (phase_ != Phase::kIdle || !pressWaiting_) return false;
  pressWaiting_ = false;
  return true;
}

WindowRequests MaximiseToggle::stateReported(WindowNow now) {
  switch (phase_) {
    case Phase::kMaximising:
      if (now.held) {
        heldBySystem();
        return {};
      }
      return placeLargest(now);  // refused
    case Phase::kRestoring:
      // Still maximised: refused. Otherwise the restored size follows.
      if (now.held) heldBySystem();
      return {};
    case Phase::kIdle:
      // Maximised or restored by the window system's own means (a key of
      // the window manager); a window we sized ourselves is not its to undo.
      if (now.held) {
        heldBySystem();
      } else if (maximised_ && !ours_) {
        maximised_ = false;
        normal_.reset();
      }
      return {};
  }
  return {};
}

WindowRequests MaximiseToggle::resized(WindowNow now) {
  switch (phase_) {
    case Phase::kMaximising:
      if (now.held) heldBySystem();
      return {};
    case Phase::kRestoring:
      if (now.held) return {};
      return restoreTo(normal_.value_or(now.geometry), now);
    case Phase::kIdle:
      return {};
  }
  return {};
}

WindowRequests MaximiseToggle::answerOverdue(WindowNow now) {
  const bool compositor = facts_.kind == WindowSystemKind::kCompositor;
  switch (phase_) {
    case Phase::kMaximising:
      // A compositor answers late but surely, and until it has the window
      // must not size itself; a window manager that has not answered by now
      // ignored the request.
      if (!compositor) return placeLargest(now);
      phase_ = Phase::kIdle;
      if (now.held) heldBySystem();
      return {};
    case Phase::kRestoring:
      if (!compositor) return restoreTo(normal_.value_or(now.geometry), now);
      // The compositor restores the normal size itself when it answers.
      phase_ = Phase::kIdle;
      maximised_ = now.held;
      if (!now.held) normal_.reset();
      return {};
    case Phase::kIdle:
      return {};
  }
  return {};
}

void MaximiseToggle::sizedByHand() {
  if (phase_ != Phase::kIdle || !ours_) return;
  maximised_ = false;
  ours_ = false;
  normal_.reset();
}

WindowRequests MaximiseToggle::restoreTo(WindowRect normal, WindowNow now) {
  phase_ = Phase::kIdle;
  maximised_ = false;
  ours_ = false;
  normal_.reset();
  WindowRect target = normal;
  if (restoreToSmallest(target.size(), facts_.screen)) {
    target.width = kMinWindowSize.width;
    target.height = kMinWindowSize.height;
  }
  // A compositor would ignore the position.
  const bool compositor = facts_.kind == WindowSystemKind::kCompositor;
  const bool sameSize = target.width == now.geometry.width && target.height == now.geometry.height;
  if (compositor ? sameSize : target == now.geometry) return {};
  return {WindowRequest::place(target)};
}

WindowRequests MaximiseToggle::placeLargest(WindowNow now) {
  phase_ = Phase::kIdle;
  maximised_ = true;
  ours_ = true;
  WindowRequests requests;
  // The window still believes in the maximise it asked for: back to normal
  // before it sizes itself.
  if (now.held) requests.push_back(WindowRequest::normal());
  requests.push_back(WindowRequest::place(largestWindowOn(facts_.workArea)));
  return requests;
}

void MaximiseToggle::heldBySystem() {
  phase_ = Phase::kIdle;
  maximised_ = true;
  ours_ = false;
}

}  // namespace kurvana
