#include "render/aa_line.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kurvana {
namespace {

// Halves to even in the default rounding mode; llrint avoids the costly
// environment save of nearbyint. Doubles from 2^52 on are whole already and
// may not fit the integer, so they pass unchanged.
double roundEven(double v) {
  return std::fabs(v) < 0x1p52 ? static_cast<double>(std::llrint(v)) : v;
}
double frac(double v) {
  return v - std::trunc(v);
}

// Blends one pixel towards `color` with intensity c; x is on the major axis.
void aaplot(Bitmap& bitmap, bool steep, double x, double y, double c, Color color) {
  const double column = roundEven(steep ? y : x);
  const double row = roundEven(steep ? x : y);
  // Tested as reals so that a far-off position never reaches the conversion.
  if (!(column >= 0 && column < bitmap.width() && row >= 0 && row < bitmap.height())) return;
  const int px = static_cast<int>(column);
  const int py = static_cast<int>(row);
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

// One Wu line with its major axis along x (after the caller's swaps).
void wuLine(Bitmap& bitmap, Color color, bool steep, double x1, double y1, double x2, double y2,
            double gradient);

}  // namespace

void antialiasedLine(Canvas& canvas, double x1, double y1, double x2, double y2, int width) {
  Bitmap& bitmap = canvas.bitmap();
  const Color color = canvas.pen.color;
  double dx = x2 - x1;
  double dy = y2 - y1;
  // A non-finite end, or a span too long for a double, has no pixels to blend.
  if (!std::isfinite(dx) || !std::isfinite(dy)) return;
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
  const int lines = std::max(width, 1);
  for (int k = 0; k < lines; ++k) {
    const double across = k - (lines - 1) / 2.0;
    wuLine(bitmap, color, steep, x1, y1 + across, x2, y2 + across, gradient);
  }
}

namespace {

void wuLine(Bitmap& bitmap, Color color, bool steep, double x1, double y1, double x2, double y2,
            double gradient) {
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

  // Positions beyond the bitmap blend nothing, so the loop stops at its far
  // edge and jumps ahead to its near one: absurd coordinates cannot keep it
  // running. A line that starts on the bitmap, as every painter's does, still
  // steps intery one gradient at a time.
  const double extent = steep ? bitmap.height() : bitmap.width();
  const double last = std::min(roundEven(xpxl2) - 1, extent);
  double x = roundEven(xpxl1) + 1;
  if (x < -1) {
    intery += gradient * (-1 - x);
    x = -1;
  }
  for (; x <= last; x += 1) {
    plot(x, std::floor(intery), 1 - frac(intery));
    plot(x, std::floor(intery) + 1, frac(intery));
    intery += gradient;
  }
}

}  // namespace
}  // namespace kurvana
