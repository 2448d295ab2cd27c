#include "render/raster_painter.h"

#include "render/aa_line.h"
#include "render/artwork.h"
#include "render/text.h"

namespace kurvana {

void RasterPainter::line(int x1, int y1, int x2, int y2, const Pen& pen) {
  canvas_.pen = pen;
  canvas_.moveTo(x1, y1);
  canvas_.lineTo(x2, y2);
}

void RasterPainter::frame(int left, int top, int right, int bottom, Color color) {
  canvas_.pen = Pen{color, 2, PenStyle::kSolid};
  canvas_.outlineRect(left, top, right, bottom);
}

void RasterPainter::gridLine(int x1, int y1, int x2, int y2, Color color) {
  line(x1, y1, x2, y2, Pen{color, 1, PenStyle::kDotted});
}

void RasterPainter::label(int x, int y, const std::string& text, Color color) {
  if (text_ != nullptr) text_->draw(image_, x, y, text, color);
}

void RasterPainter::axisLine(int x1, int y1, int x2, int y2, Color color) {
  line(x1, y1, x2, y2, Pen{color, 1, PenStyle::kSolid});
}

void RasterPainter::arrow(ArrowKind kind, int left, int top, bool whiteScheme) {
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
  line(x, first, x, last + 1, Pen{color, 1, PenStyle::kSolid});
}

void RasterPainter::segment(int x1, int y1, int x2, int y2, int width, Color color) {
  line(x1, y1, x2, y2, Pen{color, width, PenStyle::kSolid});
}

void RasterPainter::smoothSegment(long double x1, long double y1, long double x2, long double y2,
                                  Color color, bool dense, bool thick) {
  canvas_.pen.color = color;
  const auto d = [](long double v) { return static_cast<double>(v); };
  antialiasedLine(canvas_, d(x1), d(y1), d(x2), d(y2));
  if (dense) antialiasedLine(canvas_, d(x1), d(y1), d(x2), d(y2));
  if (thick) antialiasedLine(canvas_, d(x1 + 0.5L), d(y1 + 0.5L), d(x2 + 0.5L), d(y2 + 0.5L));
}

}  // namespace kurvana
