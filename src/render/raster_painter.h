// The plot's primitives painted on the plot bitmap with the canvas of
// bitmap.h, the label font and the arrowhead pictures.
#pragma once

#include "render/bitmap.h"
#include "render/plot_painter.h"

namespace kurvana {

struct Artwork;
class TextRenderer;

class RasterPainter final : public PlotPainter {
 public:
  // `text` may be null: labels are then left out. `scale` is device pixels
  // per window pixel: pens, dots and shifts grow with it; `artwork` and
  // `text` are the ones of that scale.
  RasterPainter(Bitmap& image, const Artwork& artwork, const TextRenderer* text, double scale = 1)
      : image_(image), canvas_(image), artwork_(artwork), text_(text), scale_(scale) {}

  // The canvas the primitives go through, for painters that add their own.
  Canvas& canvas() { return canvas_; }

  void frame(const PixelBox& plotArea, int ring, Color color) override;
  void gridLine(int x1, int y1, int x2, int y2, Color color) override;
  void label(int x, int y, const std::string& text, Color color) override;
  void axisLine(int x1, int y1, int x2, int y2, Color color, const PixelBox& plotArea) override;
  void arrow(ArrowKind kind, int left, int top, int side, bool whiteScheme) override;
  void dot(int x, int y, int size, Color color) override;
  void fillSpan(int x, int first, int last, Color color) override;
  void segment(int x1, int y1, int x2, int y2, int width, Color color) override;
  void smoothSegment(long double x1, long double y1, long double x2, long double y2, Color color,
                     bool dense, bool thick) override;

 private:
  void line(int x1, int y1, int x2, int y2, const Pen& pen);
  // A pen `width` window pixels wide (1 or 2): it covers the device pixels
  // of the window pixels that pen covers at scale 1, so it reaches up and
  // left by the scaled half width.
  Pen pen(Color color, int width, PenStyle style = PenStyle::kSolid) const;
  int px(int n) const;

  Bitmap& image_;
  Canvas canvas_;
  const Artwork& artwork_;
  const TextRenderer* text_;
  double scale_;
};

}  // namespace kurvana
