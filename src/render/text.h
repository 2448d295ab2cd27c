// Label text on bitmaps: a face matched through fontconfig, rendered by
// FreeType with grayscale antialiasing and blended over the bitmap.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "render/bitmap.h"

namespace kurvana {

class TextRenderer {
 public:
  // The face of `family` at `pixelSize` pixels per em (9 points at 96 dpi is
  // 12); fontconfig substitutes the closest installed face (DejaVu Sans where
  // Verdana is missing). Null when no face can be loaded.
  static std::unique_ptr<TextRenderer> create(const std::string& family, int pixelSize);

  virtual ~TextRenderer() = default;

  // UTF-8 text in `color` with a transparent background; (x, y) is the top-left
  // corner of the first character cell (the cell's top is the face's ascent
  // above the baseline). Clipped to the bitmap.
  virtual void draw(Bitmap& bitmap, int x, int y, std::string_view text, Color color) const = 0;

  // Advance width of the text and height of a character cell, in pixels.
  virtual int width(std::string_view text) const = 0;
  virtual int cellHeight() const = 0;
};

}  // namespace kurvana
