// The primitives a plot picture is made of, in image pixels: what the frame
// and curve tracers decide, handed to a painter that either sets pixels
// (raster_painter.h) or writes paths and text (vector_picture.h). Integer
// positions name pixels; a line's end point is not painted.
#pragma once

#include <string>

#include "plot/plot_state.h"

namespace kurvana {

enum class ArrowKind { kRight, kUp };

class PlotPainter {
 public:
  virtual ~PlotPainter() = default;

  // The 2-pixel outline of the rectangle from (left, top) to (right, bottom),
  // right and bottom exclusive.
  virtual void frame(int left, int top, int right, int bottom, Color color) = 0;
  // A dotted 1-pixel grid line, its first point painted.
  virtual void gridLine(int x1, int y1, int x2, int y2, Color color) = 0;
  // UTF-8 text whose first character cell has its top-left corner at (x, y).
  virtual void label(int x, int y, const std::string& text, Color color) = 0;
  // A solid 1-pixel axis line.
  virtual void axisLine(int x1, int y1, int x2, int y2, Color color) = 0;
  // The 11 x 11 arrowhead of the scheme with its top-left corner at (left, top).
  virtual void arrow(ArrowKind kind, int left, int top, bool whiteScheme) = 0;

  // A curve point: the size x size block whose top-left pixel is (x, y).
  virtual void dot(int x, int y, int size, Color color) = 0;
  // Pixel column x filled from row `first` to row `last`, both included.
  virtual void fillSpan(int x, int first, int last, Color color) = 0;
  // A curve segment of pen width 1 or 2 between pixels.
  virtual void segment(int x1, int y1, int x2, int y2, int width, Color color) = 0;
  // An antialiased curve segment between real pixel positions; `dense` blends
  // it twice (dark background), `thick` once more half a pixel right and down.
  virtual void smoothSegment(long double x1, long double y1, long double x2, long double y2,
                             Color color, bool dense, bool thick) = 0;
};

}  // namespace kurvana
