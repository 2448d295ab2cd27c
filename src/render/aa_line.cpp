#include "render/aa_line.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kurvana {
namespace {

// Halves to even in the default rounding mode; llrint avoids the costly
// environment save of nearbyint, and every value here is small.
double roundEven(double v) {
  return static_cast<double>(std::llrint(v));
}
double frac(double v) {
  return v - std::trunc(v);
}

// Blends one pixel towards `color` with intensity c; x is on the major axis.
void aaplot(Bitmap& bitmap, bool steep, double x, double y, double c, Color color) {
  const int px = static_cast<int>(roundEven(steep ? y : x));
  const int py = static_cast<int>(roundEven(steep ? x : y));
  if (!bitmap.contains(px, py)) return;
  const Color bg = bitmap.pixel(px, py);
  Color out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const double b = (bg >> shift) & 0xFF;
    const double f = (color >> shift) & 0xFF;
    const double v = std::clamp(roundEven((1 - c) * b + c * f), 0.0, 255.0);
    out |= static_cast<Color>(v) << shift;
  }
  bitmap.setPixel(px, py, out);
}

}  // namespace

void aaline(Canvas& canvas, double x1, double y1, double x2, double y2) {
  Bitmap& bitmap = canvas.bitmap();
  const Color color = canvas.pen.color;
  double dx = x2 - x1;
  double dy = y2 - y1;
  const bool steep = std::fabs(dx) < std::fabs(dy);
  if (steep) {
    std::swap(x1, y1);
    std::swap(x2, y2);
    std::swap(dx, dy);
  }
  if (x2 < x1) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  // Coinciding ends leave 0/0; gradient 1 paints just the two end blends.
  const double gradient = dx == 0 ? 1.0 : dy / dx;
  const auto plot = [&](double x, double y, double c) { aaplot(bitmap, steep, x, y, c, color); };

  double xend = roundEven(x1);
  double yend = y1 + gradient * (xend - x1);
  double xgap = 1 - frac(x1 + 0.5);
  const double xpxl1 = xend;
  const double ypxl1 = std::floor(yend);
  plot(xpxl1, ypxl1, (1 - frac(yend)) * xgap);
  plot(xpxl1, ypxl1 + 1, frac(yend) * xgap);
  double intery = yend + gradient;

  xend = roundEven(x2);
  yend = y2 + gradient * (xend - x2);
  xgap = frac(x2 + 0.5);
  const double xpxl2 = xend;
  const double ypxl2 = std::floor(yend);
  plot(xpxl2, ypxl2, (1 - frac(yend)) * xgap);
  plot(xpxl2, ypxl2 + 1, frac(yend) * xgap);

  const double last = roundEven(xpxl2) - 1;
  for (double x = roundEven(xpxl1) + 1; x <= last; x += 1) {
    plot(x, std::floor(intery), 1 - frac(intery));
    plot(x, std::floor(intery) + 1, frac(intery));
    intery += gradient;
  }
}

}  // namespace kurvana
