#include "render/bitmap.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace kurvana {

namespace {
constexpr std::size_t kHugePage = 2u << 20;
}

void* allocateLargeBuffer(std::size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugePage) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (void* p = std::aligned_alloc(kHugePage, rounded)) {
      ::madvise(p, rounded, MADV_HUGEPAGE);  // only a hint: failure changes nothing
      return p;
    }
    throw std::bad_alloc();
  }
#endif
  return ::operator new(bytes);
}

void freeLargeBuffer(void* p, std::size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugePage) {
    std::free(p);
    return;
  }
#endif
  ::operator delete(p);
}

Bitmap::Bitmap(int width, int height, Color fill)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), toWord(fill)) {}

void Bitmap::fillRect(int left, int top, int right, int bottom, Color color) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (right <= left || bottom <= top) return;
  const std::uint32_t value = toWord(color);
  // Vertical lines and column fills come here one pixel wide: a plain strided
  // loop keeps them cheap.
  const auto n = static_cast<std::size_t>(right - left);
  const auto stride = static_cast<std::size_t>(width_);
  std::uint32_t* row = pixels_.data() + index(left, top);
  for (int y = top; y < bottom; ++y, row += stride) std::fill_n(row, n, value);
}

void Bitmap::reset(int width, int height, Color fill) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  const std::size_t count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  if (count > pixels_.capacity()) {
    // A live resize grows the picture step by step: room for half as much
    // again spares a fresh allocation (and its page faults) on most steps.
    // Pages beyond those filled are never touched.
    decltype(pixels_)().swap(pixels_);
    pixels_.reserve(count + count / 2);
  }
  pixels_.assign(count, toWord(fill));
}

void Bitmap::drawTransparent(int left, int top, const Bitmap& picture, Color transparent) {
  // Both bitmaps hold words with the top byte set: the key is compared as one.
  const std::uint32_t key = toWord(transparent);
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      const std::uint32_t word = picture.pixels_[picture.index(x, y)];
      if (word != key && contains(left + x, top + y)) pixels_[index(left + x, top + y)] = word;
    }
  }
}

void Bitmap::copyRect(const Bitmap& source, int srcX, int srcY, int w, int h, int dstX, int dstY) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (source.contains(srcX + x, srcY + y) && contains(dstX + x, dstY + y)) {
        pixels_[index(dstX + x, dstY + y)] = source.pixels_[source.index(srcX + x, srcY + y)];
      }
    }
  }
}

void Canvas::plot(int x, int y) {
  if (pen.width >= 2) {
    const int reach = pen.reachUpLeft();
    bitmap_.fillRect(x - reach, y - reach, x - reach + pen.width, y - reach + pen.width, pen.color);
  } else {
    bitmap_.setPixel(x, y, pen.color);
  }
}

void Canvas::lineTo(int x, int y) {
  // Solid axis-parallel lines (fills, axes, frames) are spans: fill them at once.
  if (pen.style == PenStyle::kSolid && (x == x_) != (y == y_)) {
    // A wide pen reaches its reach up and left, the rest down and right.
    const int grow = pen.width >= 2 ? pen.reachUpLeft() : 0;
    const int rest = pen.width >= 2 ? pen.width - grow : 1;
    if (y == y_) {
      const int first = x > x_ ? x_ : x + 1;
      const int last = x > x_ ? x - 1 : x_;
      bitmap_.fillRect(first - grow, y - grow, last + rest, y + rest, pen.color);
    } else {
      const int first = y > y_ ? y_ : y + 1;
      const int last = y > y_ ? y - 1 : y_;
      bitmap_.fillRect(x - grow, first - grow, x + rest, last + rest, pen.color);
    }
    moveTo(x, y);
    return;
  }
  // Bresenham from the current position; the end point is not painted.
  const int dx = std::abs(x - x_);
  const int dy = -std::abs(y - y_);
  const int sx = x_ < x ? 1 : -1;
  const int sy = y_ < y ? 1 : -1;
  int error = dx + dy;
  int cx = x_;
  int cy = y_;
  // Along an axis a wide dotted pen paints across the line only.
  const bool across = pen.style == PenStyle::kDotted && pen.width >= 2 && (x == x_ || y == y_);
  const int dash = std::max(pen.dash, 1);
  int step = 0;
  while (cx != x || cy != y) {
    const bool on = (step++ / dash) % 2 == 0;
    if (pen.style == PenStyle::kSolid || on) {
      if (across) {
        const int reach = pen.reachUpLeft();
        if (x == x_) {
          bitmap_.fillRect(cx - reach, cy, cx - reach + pen.width, cy + 1, pen.color);
        } else {
          bitmap_.fillRect(cx, cy - reach, cx + 1, cy - reach + pen.width, pen.color);
        }
      } else {
        plot(cx, cy);
      }
    }
    const int twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      cx += sx;
    }
    if (twice <= dx) {
      error += dx;
      cy += sy;
    }
  }
  moveTo(x, y);
}

void Canvas::outlineRect(int left, int top, int right, int bottom) {
  if (right <= left || bottom <= top) return;
  // The path runs through the last column and row inside the rectangle.
  moveTo(left, top);
  lineTo(right - 1, top);
  lineTo(right - 1, bottom - 1);
  lineTo(left, bottom - 1);
  lineTo(left, top);
}

}  // namespace kurvana
