// The program-wide records, created once by main and passed by reference, so
// that tests can build fresh ones.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "app/painted_picture.h"
#include "explore/exploration.h"
#include "files/history.h"
#include "plot/interface_texts.h"
#include "plot/number_format.h"
#include "plot/plot_state.h"
#include "render/artwork.h"
#include "render/bitmap.h"
#include "render/plot_geometry.h"
#include "render/render_context.h"
#include "render/text.h"

namespace kurvana {

// The label face: Verdana 9 pt at 96 dpi.
inline constexpr const char* kLabelFamily = "Verdana";
inline constexpr int kLabelPixels = 12;

struct Application {
  // With the label face fontconfig finds now.
  Application() = default;
  // With a label face found otherwise (the controller's font cache); null
  // for none.
  explicit Application(std::unique_ptr<TextRenderer> font) : labelFont(std::move(font)) {}

  PlotState plot;
  InterfaceTexts texts;
  FormulaHistory history;
  Bitmap image;          // the plot picture, repainted by every showEmptyPlot
  PaintedPicture painted;  // what `image` was painted from, for the vector pictures
  ExploreState explore;  // cursor ring, walk position and pan drag
  // The user's decimal separator for range fields and labels, read once from
  // the environment's LC_NUMERIC; formulas always use the point.
  std::string decimalSeparator = userDecimalSeparator();
  // Label face; null when no font is installed.
  std::unique_ptr<TextRenderer> labelFont = TextRenderer::create(kLabelFamily, kLabelPixels);
  // The label face at the size of the plot's scale, when that is not 12 pixels.
  std::unique_ptr<TextRenderer> scaledLabelFont;
  int scaledLabelPixels = 0;

  // The painters' context at the plot's scale: label face and artwork of
  // that size.
  RenderContext renderContext() {
    return RenderContext{plot, image, artwork(plot.scale), labelFontAtScale(), decimalSeparator};
  }

  const TextRenderer* labelFontAtScale() {
    const int pixels = scaledPixels(kLabelPixels, plot.scale);
    if (pixels == kLabelPixels || labelFont == nullptr) return labelFont.get();
    if (pixels != scaledLabelPixels) {
      scaledLabelFont = labelFont->atSize(pixels);
      scaledLabelPixels = pixels;
    }
    return scaledLabelFont.get();
  }
};

}  // namespace kurvana
