// Label text on bitmaps: a face matched through fontconfig, rendered by
// FreeType with grayscale antialiasing and blended over the bitmap.
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "render/bitmap.h"

namespace kurvana {

// A font file and the face within it.
struct FontFile {
  std::string path;
  int index = 0;
};

// The file fontconfig picks for `family` at regular weight, upright and
// scalable, substituting its closest match when the family is not installed;
// with everything that choice rests on, so that a remembered one can be
// checked without asking fontconfig again: the configuration files and their
// folders, the font folders (configured ones too where missing) and the font
// file itself. Nothing when fontconfig finds no file.
struct FontMatch {
  FontFile file;
  std::vector<std::string> dependsOn;  // paths, each once
};
std::optional<FontMatch> matchFont(const std::string& family);

// The environment variables fontconfig's choice also depends on (where its
// configuration is, the user's folders, the language).
std::span<const char* const> fontMatchVariables();

// fontconfig's version, which needs no initialisation to ask.
int fontMatchVersion();

class TextRenderer {
 public:
  // The face of `family` at `pixelSize` pixels per em (9 points at 96 dpi is
  // 12); fontconfig substitutes the closest installed face (DejaVu Sans where
  // Verdana is missing). Null when no face can be loaded.
  static std::unique_ptr<TextRenderer> create(const std::string& family, int pixelSize);

  // The face of a file found before (matchFont, or a remembered match); null
  // when it cannot be loaded.
  static std::unique_ptr<TextRenderer> open(const FontFile& file, int pixelSize);

  virtual ~TextRenderer() = default;

  // UTF-8 text in `color` with a transparent background; (x, y) is the top-left
  // corner of the first character cell (the cell's top is the face's ascent
  // above the baseline). Clipped to the bitmap.
  virtual void draw(Bitmap& bitmap, int x, int y, std::string_view text, Color color) const = 0;

  // Advance width of the text and height of a character cell, in pixels.
  virtual int width(std::string_view text) const = 0;
  virtual int cellHeight() const = 0;

  // The same face at another size (labels on a screen of another scale);
  // null when it cannot be loaded or the renderer has no face file.
  virtual std::unique_ptr<TextRenderer> atSize(int /*pixelSize*/) const { return nullptr; }
};

}  // namespace kurvana
