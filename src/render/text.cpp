#include "render/text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace kurvana {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kMaxCachedGlyphs = 1024;

// Decodes the UTF-8 sequence at text[pos] and advances pos past it. A byte
// that cannot start a sequence, or a sequence cut short, yields U+FFFD for the
// bytes read so far (one replacement per maximal ill-formed subpart), so any
// byte string draws something and never reads past its end.
char32_t nextCodePoint(std::string_view text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos++);
  if (lead < 0x80) return lead;

  int length = 0;
  char32_t value = 0;
  // Bounds of the second byte rule out overlong forms, surrogates and values
  // beyond U+10FFFF before any further byte is consumed.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0Fu;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07u;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return kReplacement;
  }
  for (int i = 1; i < length; ++i) {
    if (pos >= text.size()) return kReplacement;
    const unsigned char next = byte(pos);
    if (next < low || next > high) return kReplacement;
    low = 0x80;
    high = 0xBF;
    value = (value << 6) | (next & 0x3Fu);
    ++pos;
  }
  return value;
}

// Round((bg * (255 - a) + fg * a) / 255) for one channel. 255 is odd, so the
// quotient is never exactly halfway and rounding the remainder is exact.
std::uint32_t blendChannel(std::uint32_t bg, std::uint32_t fg, std::uint32_t a) {
  const std::uint32_t n = bg * (255 - a) + fg * a;
  return n / 255 + (2 * (n % 255) > 255 ? 1 : 0);
}

Color blend(Color bg, Color fg, std::uint32_t a) {
  Color out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= blendChannel((bg >> shift) & 0xFFu, (fg >> shift) & 0xFFu, a) << shift;
  }
  return out;
}

// 26.6 fixed point to whole pixels, rounding up.
int ceilPixels(FT_Pos value) {
  return static_cast<int>((value + 63) >> 6);
}

// One rendered glyph: 8-bit coverage rows, placed relative to the pen position
// on the baseline.
struct Glyph {
  int left = 0;  // from the pen position to the first column
  int top = 0;   // from the baseline up to the first row
  int width = 0;
  int rows = 0;
  int advance = 0;
  std::vector<std::uint8_t> coverage;  // width * rows, top row first
};

class FreeTypeRenderer final : public TextRenderer {
 public:
  FreeTypeRenderer(FT_Library library, FT_Face face, FontFile file)
      : library_(library), face_(face), file_(std::move(file)) {
    ascender_ = ceilPixels(face->size->metrics.ascender);
    cellHeight_ = ascender_ + ceilPixels(-face->size->metrics.descender);
  }

  ~FreeTypeRenderer() override {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  FreeTypeRenderer(const FreeTypeRenderer&) = delete;
  FreeTypeRenderer& operator=(const FreeTypeRenderer&) = delete;

  void draw(Bitmap& bitmap, int x, int y, std::string_view text, Color color) const override {
    const std::lock_guard<std::mutex> lock(mutex_);
    // Pen positions in 64-bit so that far-off starting points cannot overflow.
    long long penX = x;
    const long long baseline = static_cast<long long>(y) + ascender_;
    for (std::size_t pos = 0; pos < text.size();) {
      const Glyph& glyph = glyphFor(nextCodePoint(text, pos));
      blit(bitmap, glyph, penX + glyph.left, baseline - glyph.top, color);
      penX += glyph.advance;
    }
  }

  int width(std::string_view text) const override {
    const std::lock_guard<std::mutex> lock(mutex_);
    long long total = 0;
    for (std::size_t pos = 0; pos < text.size();) {
      total += glyphFor(nextCodePoint(text, pos)).advance;
    }
    return static_cast<int>(std::min<long long>(total, std::numeric_limits<int>::max()));
  }

  int cellHeight() const override { return cellHeight_; }

  std::unique_ptr<TextRenderer> atSize(int pixelSize) const override {
    return TextRenderer::open(file_, pixelSize);
  }

 private:
  // Caller holds mutex_: the face and the cache are shared state.
  const Glyph& glyphFor(char32_t codePoint) const {
    const auto cached = cache_.find(codePoint);
    if (cached != cache_.end()) return cached->second;
    // Labels use a handful of characters; arbitrary text must not grow the
    // cache without bound. No caller keeps a glyph across calls.
    if (cache_.size() >= kMaxCachedGlyphs) cache_.clear();
    return cache_.emplace(codePoint, render(codePoint)).first->second;
  }

  // A glyph that fails to load is cached as empty with no advance.
  Glyph render(char32_t codePoint) const {
    Glyph glyph;
    const FT_UInt index = FT_Get_Char_Index(face_, codePoint);
    if (FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) return glyph;
    const FT_GlyphSlot slot = face_->glyph;
    glyph.advance = static_cast<int>(std::lrint(static_cast<double>(slot->advance.x) / 64.0));
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;

    // Embedded bitmaps may come as 1, 2 or 4 bits per pixel or bottom-up;
    // converting gives top-down bytes of 0 ... num_grays - 1 in every case.
    FT_Bitmap converted;
    FT_Bitmap_Init(&converted);
    if (FT_Bitmap_Convert(library_, &slot->bitmap, &converted, 1) == 0 &&
        converted.num_grays >= 2) {
      glyph.width = static_cast<int>(converted.width);
      glyph.rows = static_cast<int>(converted.rows);
      glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
      const unsigned maxGray = converted.num_grays - 1u;
      for (int r = 0; r < glyph.rows; ++r) {
        const unsigned char* row =
            converted.buffer + static_cast<std::ptrdiff_t>(r) * converted.pitch;
        for (int c = 0; c < glyph.width; ++c) {
          const unsigned value = row[c] > maxGray ? maxGray : row[c];
          glyph.coverage[static_cast<std::size_t>(r) * glyph.width + c] =
              static_cast<std::uint8_t>(value * 255u / maxGray);  // exact for 1, 3, 15, 255
        }
      }
    }
    FT_Bitmap_Done(library_, &converted);
    return glyph;
  }

  static void blit(Bitmap& bitmap, const Glyph& glyph, long long left, long long top, Color color) {
    for (int r = 0; r < glyph.rows; ++r) {
      const long long py = top + r;
      if (py < 0 || py >= bitmap.height()) continue;
      for (int c = 0; c < glyph.width; ++c) {
        const long long px = left + c;
        if (px < 0 || px >= bitmap.width()) continue;
        const std::uint32_t a = glyph.coverage[static_cast<std::size_t>(r) * glyph.width + c];
        if (a == 0) continue;
        const int ix = static_cast<int>(px);
        const int iy = static_cast<int>(py);
        bitmap.setPixel(ix, iy, a == 255 ? color : blend(bitmap.pixel(ix, iy), color, a));
      }
    }
  }

  FT_Library library_;
  FT_Face face_;
  FontFile file_;
  int ascender_ = 0;
  int cellHeight_ = 0;
  mutable std::mutex mutex_;
  mutable std::unordered_map<char32_t, Glyph> cache_;
};

}  // namespace

namespace {

// Adds each string of `list` (consumed) to `paths`, and its folder too when
// `withFolder`, each path once.
void addPaths(FcStrList* list, bool withFolder, std::vector<std::string>& paths,
              std::unordered_set<std::string>& seen) {
  if (list == nullptr) return;
  const auto add = [&](std::string path) {
    if (!path.empty() && seen.insert(path).second) paths.push_back(std::move(path));
  };
  while (FcChar8* entry = FcStrListNext(list)) {
    const std::string path = reinterpret_cast<const char*>(entry);
    add(path);
    if (withFolder) {
      const std::size_t slash = path.find_last_of('/');
      if (slash != std::string::npos && slash > 0) add(path.substr(0, slash));
    }
  }
  FcStrListDone(list);
}

}  // namespace

std::optional<FontMatch> matchFont(const std::string& family) {
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return std::nullopt;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  std::optional<FontMatch> found;
  if (FcConfigSubstitute(nullptr, pattern, FcMatchPattern)) {
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    if (match != nullptr) {
      FcChar8* file = nullptr;
      int index = 0;
      if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
        found.emplace();
        found->file.path = reinterpret_cast<const char*>(file);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch) {
          found->file.index = index;
        }
      }
      FcPatternDestroy(match);
    }
  }
  FcPatternDestroy(pattern);
  if (!found) return found;

  // A changed or added configuration file changes a file or its folder; an
  // installed or removed font changes a font folder (the configured ones are
  // listed whether they exist or not, the scanned ones with their subfolders).
  std::unordered_set<std::string> seen;
  std::vector<std::string>& paths = found->dependsOn;
  seen.insert(found->file.path);
  paths.push_back(found->file.path);
  addPaths(FcConfigGetConfigFiles(nullptr), true, paths, seen);
  addPaths(FcConfigGetConfigDirs(nullptr), false, paths, seen);
  addPaths(FcConfigGetFontDirs(nullptr), false, paths, seen);
  // The user's configuration, which the system's includes where it exists:
  // a file made there later changes its folder, or makes it.
  const char* home = std::getenv("HOME");
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  std::string config;
  if (configHome != nullptr && configHome[0] == '/') {
    config = configHome;
  } else if (home != nullptr && home[0] == '/') {
    config = std::string(home) + "/.config";
  }
  std::vector<std::string> user;
  if (!config.empty()) user = {config + "/fontconfig", config + "/fontconfig/conf.d"};
  if (home != nullptr && home[0] == '/') {
    user.push_back(std::string(home) + "/.fonts.conf");
    user.push_back(std::string(home) + "/.fonts.conf.d");
  }
  for (std::string& path : user) {
    if (seen.insert(path).second) paths.push_back(std::move(path));
  }
  return found;
}

std::span<const char* const> fontMatchVariables() {
  static constexpr const char* kVariables[] = {"FONTCONFIG_FILE",
                                               "FONTCONFIG_PATH",
                                               "FONTCONFIG_SYSROOT",
                                               "HOME",
                                               "XDG_CONFIG_HOME",
                                               "XDG_DATA_HOME",
                                               "FC_LANG",
                                               "LC_ALL",
                                               "LC_CTYPE",
                                               "LANG"};
  return kVariables;
}

int fontMatchVersion() {
  return FcGetVersion();
}

std::unique_ptr<TextRenderer> TextRenderer::create(const std::string& family, int pixelSize) {
  if (pixelSize <= 0) return nullptr;
  const std::optional<FontMatch> match = matchFont(family);
  if (!match) return nullptr;
  return open(match->file, pixelSize);
}

std::unique_ptr<TextRenderer> TextRenderer::open(const FontFile& file, int pixelSize) {
  if (pixelSize <= 0) return nullptr;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0) {
    FT_Done_FreeType(library);
    return nullptr;
  }
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0 ||
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0 || face->size == nullptr) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return nullptr;
  }
  // The renderer owns the library and the face from here on.
  std::unique_ptr<TextRenderer> renderer(new (std::nothrow) FreeTypeRenderer(library, face, file));
  if (renderer == nullptr) {
    FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  return renderer;
}

}  // namespace kurvana
