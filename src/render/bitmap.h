// Raster canvas: a 32-bit bitmap of 0x00BBGGRR colours with the drawing
// primitives the plot uses (pixels, rectangles, pens and lines, transparent
// pictures, rectangle copies).
#pragma once

#include <cstdint>
#include <vector>

#include "plot/plot_state.h"

namespace kurvana {

// Plot images reach 11 MB; backing them with 2 MB pages where the system
// offers them on request saves thousands of page faults per fresh image.
template <typename T>
struct LargeBufferAllocator {
  using value_type = T;
  LargeBufferAllocator() = default;
  template <typename U>
  LargeBufferAllocator(const LargeBufferAllocator<U>&) {}
  T* allocate(std::size_t n);
  void deallocate(T* p, std::size_t n);
  template <typename U>
  bool operator==(const LargeBufferAllocator<U>&) const {
    return true;
  }
};

// Pixels are stored as the screen keeps them: words 0xFFRRGGBB, the bytes
// B, G, R, X in memory (Qt's RGB32), so the window shows the memory without
// a copy or a conversion, and BMP rows (B, G, R) are plain copies. The
// accessors speak plain 0x00BBGGRR colours and swap red and blue on the way.
class Bitmap {
 public:
  static constexpr std::uint32_t kOpaque = 0xFF000000u;

  // A colour 0x00BBGGRR as a stored word 0xFFRRGGBB, and back. The swap is
  // its own inverse; the top byte is dropped on the way in and out.
  static constexpr std::uint32_t toWord(Color color) {
    return ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu) | kOpaque;
  }
  static constexpr Color toColor(std::uint32_t word) {
    return ((word & 0xFFu) << 16) | (word & 0xFF00u) | ((word >> 16) & 0xFFu);
  }

  Bitmap() = default;
  Bitmap(int width, int height, Color fill = 0);

  // A bitmap of that size filled with `fill`; the pixel memory is kept
  // whenever it is large enough, which spares page faults on every repaint
  // and on most steps of a live resize.
  void reset(int width, int height, Color fill);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  // 0 outside the bitmap.
  Color pixel(int x, int y) const { return contains(x, y) ? toColor(pixels_[index(x, y)]) : 0; }
  // Ignored outside the bitmap.
  void setPixel(int x, int y, Color color) {
    if (contains(x, y)) pixels_[index(x, y)] = toWord(color);
  }

  // Right and bottom edges exclusive; clipped to the bitmap.
  void fillRect(int left, int top, int right, int bottom, Color color);

  // Draws `picture` with its top-left corner at (left, top); its pixels equal
  // to `transparent` leave the bitmap as it was.
  void drawTransparent(int left, int top, const Bitmap& picture, Color transparent);

  // Copies the w x h rectangle at (srcX, srcY) of `source` to (dstX, dstY);
  // parts outside either bitmap are skipped.
  void copyRect(const Bitmap& source, int srcX, int srcY, int w, int h, int dstX, int dstY);

  // Rows of 0xFFRRGGBB words (bytes B, G, R, 0xFF), top row first, no padding.
  const std::uint32_t* data() const { return pixels_.data(); }
  std::uint32_t* data() { return pixels_.data(); }

 private:
  std::size_t index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t, LargeBufferAllocator<std::uint32_t>> pixels_;
};

enum class PenStyle { kSolid, kDotted };

struct Pen {
  Color color = 0;
  int width = 1;  // 1 or more; pictures at scale 1 use 1 and 2
  PenStyle style = PenStyle::kSolid;
  int dash = 1;    // dotted: points painted, then as many left out
  int reach = -1;  // pixels the pen reaches up and left of the line; -1: width / 2

  int reachUpLeft() const { return reach >= 0 ? reach : width / 2; }
};

// Move-to/line-to drawing with a pen, in copy mode, on one bitmap.
class Canvas {
 public:
  explicit Canvas(Bitmap& bitmap) : bitmap_(bitmap) {}

  Bitmap& bitmap() { return bitmap_; }

  void moveTo(int x, int y) {
    x_ = x;
    y_ = y;
  }
  // Draws to (x, y), leaving the end point itself unpainted, and moves there.
  // A pen of width n paints each point of the 1-pixel line as the n x n block
  // reaching the pen's reach up and left, n / 2 pixels unless it says
  // otherwise (the 2 x 2 block one pixel up and left), so the pen is centred
  // on the line. Dotted lines paint `dash` points and
  // leave out as many, starting with the first; a wide dotted line along an
  // axis paints each point across the line only, so its dots keep their length.
  void lineTo(int x, int y);

  // The outline of the rectangle from (left, top) to (right, bottom), right and
  // bottom exclusive, drawn with the pen and no fill.
  void outlineRect(int left, int top, int right, int bottom);

  Pen pen;

 private:
  void plot(int x, int y);

  Bitmap& bitmap_;
  int x_ = 0;
  int y_ = 0;
};

void* allocateLargeBuffer(std::size_t bytes);
void freeLargeBuffer(void* p, std::size_t bytes);

template <typename T>
T* LargeBufferAllocator<T>::allocate(std::size_t n) {
  return static_cast<T*>(allocateLargeBuffer(n * sizeof(T)));
}
template <typename T>
void LargeBufferAllocator<T>::deallocate(T* p, std::size_t n) {
  freeLargeBuffer(p, n * sizeof(T));
}

}  // namespace kurvana
