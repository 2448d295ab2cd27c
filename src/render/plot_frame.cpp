#include "render/plot_frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "plot/number_format.h"
#include "render/artwork.h"
#include "render/text.h"

namespace kurvana {
namespace {

constexpr Color rgb(int red, int green, int blue) {
  return static_cast<Color>(red) | (static_cast<Color>(green) << 8) |
         (static_cast<Color>(blue) << 16);
}

// Smallest image that still leaves a plot area to sample and map.
constexpr int kMinImageSide = 60;

constexpr int kGridSteps = 20;  // lines visited on either side of the offset

// Round half to even, as everywhere in the painters.
long long roundEven(long double v) {
  return std::llrint(v);
}

// The column (or row) where 0 would lie for a range that does not contain it:
// -Round(span * min / (max - min)); 0 for a result that is not a number or
// does not fit, and for one further than a plot width beyond either edge.
int virtualZero(long double min, long double max, int extent) {
  const long double offset = -(static_cast<long double>(extent - 1) * min) / (max - min);
  if (!std::isfinite(offset) || std::fabs(offset) > 1e9L) return 0;
  const long long rounded = roundEven(offset);
  if (rounded < -extent || rounded > 2LL * extent) return 0;
  return static_cast<int>(rounded);
}

// The first sample index whose value min + i * step is at or above zero.
int firstNonNegative(long double min, long double max, int extent) {
  const long double step = (max - min) / static_cast<long double>(extent - 1);
  int i = 0;
  while (i < extent - 1 && min + static_cast<long double>(i) * step < 0) ++i;
  return i;
}

// The grid's dotted pen: one window pixel wide, dots and gaps as long.
Pen gridPen(const PlotState& s, const PlotGeometry& geometry) {
  return geometry.pen(s.gridColor, 1, PenStyle::kDotted);
}

// Where a picture of `side` pixels starts so that its middle lies on the
// middle of a line of `pen` through `position`.
int centredOn(int position, const Pen& pen, int side) {
  const double middle = position + (pen.width - 1) / 2.0 - pen.reachUpLeft();
  return static_cast<int>(std::llrint(middle - (side - 1) / 2.0));
}

void drawText(RenderContext& context, int x, int y, const std::string& text) {
  if (context.text != nullptr) {
    context.text->draw(context.image, x, y, text, context.state.labelColor);
  }
}

}  // namespace

void applyColourScheme(PlotState& state) {
  const bool white = isOn(state.optWhiteBack);
  state.backColor = white ? rgb(255, 255, 255) : rgb(0, 0, 0);
  state.gridColor = white ? rgb(176, 176, 176) : rgb(64, 64, 64);
  state.axesColor = white ? rgb(64, 64, 64) : rgb(160, 160, 160);
  state.labelColor = white ? rgb(128, 128, 128) : rgb(96, 96, 96);
}

void paintVerticalGrid(RenderContext& context, Canvas& canvas, const PlotGeometry& geometry,
                       int offset) {
  const PlotState& s = context.state;
  const int w = geometry.width;
  const int h = geometry.height;
  const int m = geometry.margin();
  canvas.pen = gridPen(s, geometry);
  const long double gap = static_cast<long double>(w - 1) / 10;
  for (const int direction : {1, -1}) {
    for (int step = 0; step <= kGridSteps; ++step) {
      const int k = direction * step;
      const long double position = offset + k * gap;
      const long long c = offset + roundEven(k * gap);
      if (c < 0 || c >= w) continue;
      const int column = static_cast<int>(c) + m;
      // The line through the offset itself is the axis' place; it shows only
      // when the axes are hidden.
      const bool drawLine = k != 0 || (direction < 0 && !isOn(s.optAxes));
      if (drawLine) drawSegment(canvas, column, m, column, h + m);
      const long double v = geometry.xAt(position);
      const std::string text =
          formatFixed(v, 12, std::fabs(v) < 100 ? 2 : 0, context.decimalSeparator);
      drawText(context, column - geometry.px(15), geometry.px(3), text);
      drawText(context, column - geometry.px(15), context.image.height() - geometry.px(17), text);
    }
  }
}

void paintHorizontalGrid(RenderContext& context, Canvas& canvas, const PlotGeometry& geometry,
                         int offset) {
  const PlotState& s = context.state;
  const int w = geometry.width;
  const int h = geometry.height;
  const int m = geometry.margin();
  canvas.pen = gridPen(s, geometry);
  const long double gap = static_cast<long double>(h - 1) / 10;
  // Every row a whole number of gaps above or below the offset.
  for (int k = -kGridSteps; k <= kGridSteps; ++k) {
    const long long r = offset + roundEven(k * gap);
    if (r >= 0 && r <= h) {
      drawSegment(canvas, m, static_cast<int>(r) + m, w + m, static_cast<int>(r) + m);
    }
  }
}

Size plotImageSize(Size window) {
  return Size{std::clamp(window.width - 200, kMinImageSide, kMaxImageWidth),
              std::clamp(window.height - 100, kMinImageSide, kMaxImageHeight)};
}

Size deviceImageSize(Size image, double scale) {
  return Size{scaledPixels(image.width, scale), scaledPixels(image.height, scale)};
}

PlotFrame paintEmptyPlot(RenderContext& context, Size imageSize) {
  const PlotState& s = context.state;
  const int imageWidth = imageSize.width;
  const int imageHeight = imageSize.height;
  context.image.reset(imageWidth, imageHeight, s.backColor);
  const double scale = s.scale;
  const int m = scaledPixels(kMargin, scale);
  const int w = imageWidth - 2 * m;
  const int h = imageHeight - 2 * m;
  PlotFrame frame;
  frame.geometry = PlotGeometry{w, h, s.xMin, s.xMax, s.yMin, s.yMax, scale};
  const PlotGeometry& g = frame.geometry;
  int& yAxisColumn = frame.yAxisColumn;
  int& xAxisRow = frame.xAxisRow;

  // The frame: a ring of two window pixels just outside the plot area.
  Canvas canvas(context.image);
  const int ring = g.px(2);
  Bitmap& image = context.image;
  image.fillRect(m - ring, m - ring, w + m + ring, m, s.gridColor);
  image.fillRect(m - ring, h + m, w + m + ring, h + m + ring, s.gridColor);
  image.fillRect(m - ring, m, m, h + m, s.gridColor);
  image.fillRect(w + m, m, w + m + ring, h + m, s.gridColor);

  const bool grid = isOn(s.optGrid);
  int columnOffset = 0;
  if (s.xMin == 0) {
    columnOffset = 0;
    yAxisColumn = m;
  } else if (s.xMax == 0) {
    columnOffset = w - 1;
    yAxisColumn = w + m - 1;
  } else if (s.xMin < 0 && s.xMax > 0) {
    columnOffset = firstNonNegative(s.xMin, s.xMax, w);
    yAxisColumn = columnOffset + m;
  } else {
    columnOffset = virtualZero(s.xMin, s.xMax, w);
  }
  if (grid) paintVerticalGrid(context, canvas, g, columnOffset);

  // Rows are counted from the bottom here, from the top in the grid pass.
  int rowOffset = 0;
  if (s.yMin == 0) {
    rowOffset = h - 1;
    xAxisRow = h + m - 1;
  } else if (s.yMax == 0) {
    rowOffset = 0;
    xAxisRow = m;
  } else if (s.yMin < 0 && s.yMax > 0) {
    const int i = firstNonNegative(s.yMin, s.yMax, h);
    rowOffset = h - i - 1;
    xAxisRow = h + m - 1 - i;
  } else {
    rowOffset = h - virtualZero(s.yMin, s.yMax, h) - 1;
  }
  if (grid) paintHorizontalGrid(context, canvas, g, rowOffset);

  const bool axes = isOn(s.optAxes);
  if (axes && xAxisRow >= 1) {
    drawText(context, g.px(6), xAxisRow - g.px(7), "0");
    drawText(context, imageWidth - g.px(15), xAxisRow - g.px(7), "0");
  }
  if (axes) {
    const Pen pen = g.pen(s.axesColor, 1);
    const int penWidth = pen.width;
    // Bands where the pen's line would lie (Canvas::lineTo), kept on the
    // plot area so that an axis on its edge leaves the frame alone.
    const int reach = pen.reachUpLeft();
    const auto band = [&](int left, int top, int right, int bottom) {
      image.fillRect(std::max(left, m), std::max(top, m), std::min(right, w + m),
                     std::min(bottom, h + m), s.axesColor);
    };
    band(yAxisColumn - reach, m, yAxisColumn - reach + penWidth, h + m);
    band(m, xAxisRow - reach, w + m, xAxisRow - reach + penWidth);
    const bool white = isOn(s.optWhiteBack);
    const Artwork& art = context.artwork;
    const Color transparent = white ? rgb(255, 255, 255) : rgb(0, 0, 0);
    const Bitmap& right = white ? art.arrowRightOnWhite : art.arrowRightOnBlack;
    const Bitmap& up = white ? art.arrowUpOnWhite : art.arrowUpOnBlack;
    // The tips end on the last plot column and on the first plot row; the
    // grown triangle reaches 10 of the picture's 11 cells from its left edge
    // and one cell from its top.
    const double cell = right.width() / 11.0;
    image.drawTransparent(static_cast<int>(std::llrint(w + m - 10 * cell)),
                          centredOn(xAxisRow, pen, right.height()), right, transparent);
    image.drawTransparent(centredOn(yAxisColumn, pen, up.width()),
                          static_cast<int>(std::llrint(m - cell)), up, transparent);
  }
  return frame;
}

}  // namespace kurvana
