// The program-wide records, created once by main and passed by reference, so
// that tests can build fresh ones.
#pragma once

#include <memory>
#include <string>

#include "explore/exploration.h"
#include "files/history.h"
#include "plot/interface_texts.h"
#include "plot/number_format.h"
#include "plot/plot_state.h"
#include "render/artwork.h"
#include "render/bitmap.h"
#include "render/render_context.h"
#include "render/text.h"

namespace kurvana {

struct Application {
  PlotState plot;
  InterfaceTexts texts;
  FormulaHistory history;
  Bitmap image;          // the plot picture, repainted by every showEmptyPlot
  ExploreState explore;  // cursor ring, walk position and pan drag
  // The user's decimal separator for range fields and labels, read once from
  // the environment's LC_NUMERIC; formulas always use the point.
  std::string decimalSeparator = userDecimalSeparator();
  // Label face: Verdana 9 pt at 96 dpi; null when no font is installed.
  std::unique_ptr<TextRenderer> labelFont = TextRenderer::create("Verdana", 12);

  RenderContext renderContext() {
    return RenderContext{plot, image, artwork(), labelFont.get(), decimalSeparator};
  }
};

}  // namespace kurvana
