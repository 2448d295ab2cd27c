// What the painters of the plot image work with: values only, no window.
#pragma once

#include <string_view>

#include "plot/plot_state.h"
#include "render/bitmap.h"

namespace kurvana {

struct Artwork;
class TextRenderer;

struct RenderContext {
  PlotState& state;
  Bitmap& image;  // the plot image, cleared and repainted by paintEmptyPlot
  const Artwork& artwork;
  const TextRenderer* text;  // null when no font could be loaded: labels are left out
  std::string_view decimalSeparator;
};

}  // namespace kurvana
