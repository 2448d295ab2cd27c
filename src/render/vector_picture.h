// The plot picture as a vector file (SVG or PDF, through cairo): the frame,
// grid, labels, axes and curve the raster picture shows, traced by the same
// code (tracePlotFrame, traceCartesianCurve, tracePointCurve), as paths,
// polygons and text on a page of the image's width and height in points. The
// PDF's labels are text in the embedded face; the SVG's are text elements of
// the face's family (cairo's SVG surface would give only glyph outlines).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "plot/fields.h"
#include "plot/plot_state.h"
#include "render/text.h"

namespace kurvana {

enum class VectorFormat { kSvg, kPdf };

struct VectorPictureInput {
  const PlotState& frame;  // the state the empty plot was painted for
  std::span<const PlotState> curves;  // each painted over it from its samples, in order
  Size imageSize;                     // the raster picture's size in pixels
  std::string_view decimalSeparator;
  const FontFile* font = nullptr;  // the label face; null leaves the labels out
  int labelPixels = 0;             // its size, pixels per em as the raster labels have it
};

// The file's bytes; nothing when cairo fails (out of memory) or the size
// leaves no plot area. A face that cannot be loaded leaves the labels out.
std::optional<std::string> vectorPicture(const VectorPictureInput& input, VectorFormat format);

}  // namespace kurvana
