#include "render/raster_painter.h"

#include <algorithm>

#include "render/aa_line.h"
#include "render/artwork.h"
#include "render/plot_geometry.h"
#include "render/text.h"

namespace kurvana {

int RasterPainter::px(int n) const { return scaledPixels(n, scale_); }

Pen RasterPainter::pen(Color color, int width, PenStyle style) const {
  return Pen{color, px(width), style, px(1), px(width / 2)};
}

void RasterPainter::line(int x1, int y1, int x2, int y2, const Pen& pen) {
  canvas_.pen = pen;
  canvas_.moveTo(x1, y1);
  canvas_.lineTo(x2, y2);
}

void RasterPainter::frame(const PixelBox& a, int ring, Color color) {
  image_.fillRect(a.left - ring, a.top - ring, a.right + ring, a.top, color);
  image_.fillRect(a.left - ring, a.bottom, a.right + ring, a.bottom + ring, color);
  image_.fillRect(a.left - ring, a.top, a.left, a.bottom, color);
  image_.fillRect(a.right, a.top, a.right + ring, a.bottom, color);
}

void RasterPainter::gridLine(int x1, int y1, int x2, int y2, Color color) {
  line(x1, y1, x2, y2, pen(color, 1, PenStyle::kDotted));
}

void RasterPainter::label(int x, int y, const std::string& text, Color color) {
  if (text_ != nullptr) text_->draw(image_, x, y, text, color);
}

void RasterPainter::axisLine(int x1, int y1, int x2, int y2, Color color, const PixelBox& a) {
  // The band the pen's line would cover (Canvas::lineTo), kept on the plot
  // area so that an axis on its edge leaves the frame alone.
  const Pen p = pen(color, 1);
  const int reach = p.reachUpLeft();
  // Along the line from the first point to the last, the end excluded.
  const bool vertical = x1 == x2;
  const int left = vertical ? x1 - reach : std::min(x1, x2);
  const int right = vertical ? left + p.width : std::max(x1, x2);
  const int top = vertical ? std::min(y1, y2) : y1 - reach;
  const int bottom = vertical ? std::max(y1, y2) : top + p.width;
  image_.fillRect(std::max(left, a.left), std::max(top, a.top), std::min(right, a.right),
                  std::min(bottom, a.bottom), color);
}

void RasterPainter::arrow(ArrowKind kind, int left, int top, int /*side*/, bool whiteScheme) {
  const bool right = kind == ArrowKind::kRight;
  const Bitmap& picture = whiteScheme ? (right ? artwork_.arrowRightOnWhite : artwork_.arrowUpOnWhite)
                                      : (right ? artwork_.arrowRightOnBlack : artwork_.arrowUpOnBlack);
  image_.drawTransparent(left, top, picture, whiteScheme ? 0xFFFFFFu : 0u);
}

void RasterPainter::dot(int x, int y, int size, Color color) {
  if (size >= 2) {
    image_.fillRect(x, y, x + size, y + size, color);
  } else {
    image_.setPixel(x, y, color);
  }
}

void RasterPainter::fillSpan(int x, int first, int last, Color color) {
  // Each device column on its own, whatever the curve's pen.
  line(x, first, x, last + 1, Pen{color, 1, PenStyle::kSolid});
}

void RasterPainter::segment(int x1, int y1, int x2, int y2, int width, Color color) {
  line(x1, y1, x2, y2, pen(color, width));
}

void RasterPainter::smoothSegment(long double x1, long double y1, long double x2, long double y2,
                                  Color color, bool dense, bool thick) {
  canvas_.pen.color = color;
  const auto d = [](long double v) { return static_cast<double>(v); };
  const int width = px(1);
  antialiasedLine(canvas_, d(x1), d(y1), d(x2), d(y2), width);
  if (dense) antialiasedLine(canvas_, d(x1), d(y1), d(x2), d(y2), width);
  if (thick) {
    const long double shift = 0.5L * scale_;
    antialiasedLine(canvas_, d(x1 + shift), d(y1 + shift), d(x2 + shift), d(y2 + shift), width);
  }
}

}  // namespace kurvana
