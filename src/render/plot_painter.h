// The primitives a plot picture is made of, in image (device) pixels: what the frame
// and curve tracers decide, handed to a painter that either sets pixels
// (raster_painter.h) or writes paths and text (vector_picture.h). Integer
// positions name pixels; a line's end point is not painted.
#pragma once

#include <string>

#include "plot/plot_state.h"

namespace kurvana {

enum class ArrowKind { kRight, kUp };

// A rectangle of pixels, right and bottom exclusive.
struct PixelBox {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

class PlotPainter {
 public:
  virtual ~PlotPainter() = default;

  // The ring `ring` pixels wide just outside the plot area.
  virtual void frame(const PixelBox& plotArea, int ring, Color color) = 0;
  // A dotted grid line one window pixel wide, its first point painted.
  virtual void gridLine(int x1, int y1, int x2, int y2, Color color) = 0;
  // UTF-8 text whose first character cell has its top-left corner at (x, y).
  virtual void label(int x, int y, const std::string& text, Color color) = 0;
  // A solid axis line one window pixel wide, kept on the plot area.
  virtual void axisLine(int x1, int y1, int x2, int y2, Color color, const PixelBox& plotArea) = 0;
  // The arrowhead of the scheme, `side` pixels square (11 window pixels),
  // with its top-left corner at (left, top).
  virtual void arrow(ArrowKind kind, int left, int top, int side, bool whiteScheme) = 0;

  // A curve point: the size x size block whose top-left pixel is (x, y).
  virtual void dot(int x, int y, int size, Color color) = 0;
  // Pixel column x filled from row `first` to row `last`, both included.
  virtual void fillSpan(int x, int first, int last, Color color) = 0;
  // A curve segment of pen width 1 or 2 window pixels between pixels.
  virtual void segment(int x1, int y1, int x2, int y2, int width, Color color) = 0;
  // An antialiased curve segment between real pixel positions, one window
  // pixel wide; `dense` blends it twice (dark background), `thick` once more
  // half a window pixel right and down.
  virtual void smoothSegment(long double x1, long double y1, long double x2, long double y2,
                             Color color, bool dense, bool thick) = 0;
};

}  // namespace kurvana
