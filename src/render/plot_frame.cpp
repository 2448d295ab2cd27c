#include "render/plot_frame.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "plot/number_format.h"
#include "render/raster_painter.h"

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

// Where a picture of `side` pixels starts so that its middle lies on the
// middle of a line `width` pixels wide reaching `reach` up and left of
// `position`.
int centredOn(int position, int width, int reach, int side) {
  const double middle = position + (width - 1) / 2.0 - reach;
  return static_cast<int>(std::llrint(middle - (side - 1) / 2.0));
}

}  // namespace

void applyColourScheme(PlotState& state) {
  const bool white = isOn(state.optWhiteBack);
  state.backColor = white ? rgb(255, 255, 255) : rgb(0, 0, 0);
  state.gridColor = white ? rgb(176, 176, 176) : rgb(64, 64, 64);
  state.axesColor = white ? rgb(64, 64, 64) : rgb(160, 160, 160);
  state.labelColor = white ? rgb(128, 128, 128) : rgb(96, 96, 96);
}

void traceVerticalGrid(const PlotState& s, const PlotGeometry& geometry, int offset,
                       int imageHeight, std::string_view decimalSeparator, PlotPainter& painter) {
  const int w = geometry.width;
  const int h = geometry.height;
  const int m = geometry.margin();
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
      if (drawLine) painter.gridLine(column, m, column, h + m, s.gridColor);
      const long double v = geometry.xAt(position);
      const std::string text =
          formatFixed(v, 12, std::fabs(v) < 100 ? 2 : 0, decimalSeparator);
      painter.label(column - geometry.px(15), geometry.px(3), text, s.labelColor);
      painter.label(column - geometry.px(15), imageHeight - geometry.px(17), text, s.labelColor);
    }
  }
}

void traceHorizontalGrid(const PlotState& s, const PlotGeometry& geometry, int offset,
                         PlotPainter& painter) {
  const int w = geometry.width;
  const int h = geometry.height;
  const int m = geometry.margin();
  const long double gap = static_cast<long double>(h - 1) / 10;
  // Every row a whole number of gaps above or below the offset.
  for (int k = -kGridSteps; k <= kGridSteps; ++k) {
    const long long r = offset + roundEven(k * gap);
    if (r >= 0 && r <= h) {
      painter.gridLine(m, static_cast<int>(r) + m, w + m, static_cast<int>(r) + m, s.gridColor);
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
  context.image.reset(imageSize.width, imageSize.height, context.state.backColor);
  RasterPainter painter(context.image, context.artwork, context.text, context.state.scale);
  return tracePlotFrame(context.state, imageSize, context.decimalSeparator, painter);
}

PlotFrame tracePlotFrame(const PlotState& s, Size imageSize, std::string_view decimalSeparator,
                         PlotPainter& painter) {
  const int imageWidth = imageSize.width;
  const int imageHeight = imageSize.height;
  const double scale = s.scale;
  const int m = scaledPixels(kMargin, scale);
  const int w = imageWidth - 2 * m;
  const int h = imageHeight - 2 * m;
  PlotFrame frame;
  frame.geometry = PlotGeometry{w, h, s.xMin, s.xMax, s.yMin, s.yMax, scale};
  const PlotGeometry& g = frame.geometry;
  int& yAxisColumn = frame.yAxisColumn;
  int& xAxisRow = frame.xAxisRow;

  const PixelBox plotArea{m, m, w + m, h + m};
  // The frame: a ring of two window pixels just outside the plot area.
  painter.frame(plotArea, g.px(2), s.gridColor);

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
  if (grid) traceVerticalGrid(s, g, columnOffset, imageHeight, decimalSeparator, painter);

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
  if (grid) traceHorizontalGrid(s, g, rowOffset, painter);

  const bool axes = isOn(s.optAxes);
  if (axes && xAxisRow >= 1) {
    painter.label(g.px(6), xAxisRow - g.px(7), "0", s.labelColor);
    painter.label(imageWidth - g.px(15), xAxisRow - g.px(7), "0", s.labelColor);
  }
  if (axes) {
    painter.axisLine(yAxisColumn, m, yAxisColumn, h + m, s.axesColor, plotArea);
    painter.axisLine(m, xAxisRow, w + m, xAxisRow, s.axesColor, plotArea);
    const bool white = isOn(s.optWhiteBack);
    // The axis pen is one window pixel wide and reaches nothing up and left.
    // The tips end on the last plot column and on the first plot row; the
    // grown triangle reaches 10 of the picture's 11 cells from its left edge
    // and one cell from its top.
    const int side = g.px(11);
    const double cell = side / 11.0;
    const int width = g.px(1);
    const int reach = g.px(0);
    painter.arrow(ArrowKind::kRight, static_cast<int>(std::llrint(w + m - 10 * cell)),
                  centredOn(xAxisRow, width, reach, side), side, white);
    painter.arrow(ArrowKind::kUp, centredOn(yAxisColumn, width, reach, side),
                  static_cast<int>(std::llrint(m - cell)), side, white);
  }
  return frame;
}

}  // namespace kurvana
