#include "app/window_geometry.h"

#include <algorithm>

namespace kurvana {

LimitedSize limitWindowSize(Size size) {
  LimitedSize out{size};
  if (out.size.height < kMinWindowSize.height) {
    out.size.height = kMinWindowSize.height;
    out.heightLimited = true;
  }
  if (out.size.width < kMinWindowSize.width) {
    out.size.width = kMinWindowSize.width;
    out.widthLimited = true;
  }
  if (out.size.height > kMaxWindowSize.height) {
    out.size.height = kMaxWindowSize.height;
    out.heightLimited = true;
  }
  if (out.size.width > kMaxWindowSize.width) {
    out.size.width = kMaxWindowSize.width;
    out.widthLimited = true;
  }
  return out;
}

Size fitToScreen(Size recorded, Size screen) {
  if (recorded.width > screen.width) recorded.width = screen.width;
  if (recorded.height > screen.height) recorded.height = screen.height - 30;
  return recorded;
}

bool countsAsMaximised(bool maximisedState, Size window, Size screen) {
  return maximisedState || window.width == screen.width || window.height == screen.height;
}

bool restoreToSmallest(Size normal, Size screen) {
  return normal.width >= screen.width - 10 || normal.height >= screen.height - 10;
}

WindowRect largestWindowOn(WindowRect workArea) {
  const Size size = limitWindowSize(Size{std::min(workArea.width, kMaxWindowSize.width),
                                         std::min(workArea.height, kMaxWindowSize.height)})
                        .size;
  const Point at = centredOn(Point{workArea.x, workArea.y}, workArea.size(), size);
  return WindowRect{at.x, at.y, size.width, size.height};
}

Point centredOn(Point outerLeftTop, Size outer, Size inner) {
  return Point{outerLeftTop.x + (outer.width - inner.width) / 2,
               outerLeftTop.y + (outer.height - inner.height) / 2};
}

Point splashPosition(Size screen) {
  return Point{(screen.width - kSplashSize.width) / 2,
               (screen.height - kSplashSize.height) * 2 / 5};
}

}  // namespace kurvana
