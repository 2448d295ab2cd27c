// What the painters of the plot image work with.
#pragma once

#include <string_view>

#include "plot/plot_state.h"
#include "plot/plot_view.h"
#include "render/bitmap.h"

namespace kurvana {

struct Artwork;
class TextRenderer;

struct RenderContext {
  PlotState& state;
  PlotView& view;
  Bitmap& image;  // the plot image, cleared and repainted by set2d
  const Artwork& artwork;
  const TextRenderer* text;  // null when no font could be loaded: labels are left out
  std::string_view decimalSeparator;
};

}  // namespace kurvana
