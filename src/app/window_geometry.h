// The main window's size rules and the places where windows appear, in screen
// pixels; the Qt layer applies them.
#pragma once

#include "explore/exploration.h"
#include "app/app_view.h"

namespace kurvana {

inline constexpr Size kDefaultWindowSize{1024, 768};
inline constexpr Size kMinWindowSize{900, 633};
inline constexpr Size kMaxWindowSize{2240, 1440};
inline constexpr Size kSplashSize{417, 260};

// A window's place and size on the screen.
struct WindowRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  Size size() const { return Size{width, height}; }
  bool operator==(const WindowRect&) const = default;
};

// The layout pass's limits, applied in the order height-min, width-min,
// height-max, width-max; the flags say which dimension was changed, since the
// pointer then moves to that edge (a grip resize keeps it on the corner).
struct LimitedSize {
  Size size;
  bool widthLimited = false;
  bool heightLimited = false;
};
LimitedSize limitWindowSize(Size size);

// The recorded size fitted to the screen at start-up: a width beyond the
// screen becomes the screen's width, a height beyond it the screen's height
// less 30 (room for a panel).
Size fitToScreen(Size recorded, Size screen);

// The maximise button's rule: a window counts as maximised when it is in the
// maximised state or as wide or as high as the screen.
bool countsAsMaximised(bool maximisedState, Size window, Size screen);
// Back in the normal state, a window still within 10 pixels of the screen's
// width or height is set to the smallest size instead.
bool restoreToSmallest(Size normal, Size screen);
// The largest window within the size limits that the work area holds,
// centred on it (the smallest size, centred, where even that is too large).
WindowRect largestWindowOn(WindowRect workArea);

// The top-left corner that centres `inner` on the rectangle at `outerLeftTop`
// of size `outer` (halves truncated toward zero).
Point centredOn(Point outerLeftTop, Size outer, Size inner);

// The splash: centred horizontally, its top two fifths of the free height down.
Point splashPosition(Size screen);

}  // namespace kurvana
