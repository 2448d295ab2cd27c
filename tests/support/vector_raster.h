// Vector pictures turned back into pixels by the usual outside tools
// (rsvg-convert, pdftoppm), and the comparison of two pictures' ink: which
// pixels of one have no counterpart within a few pixels in the other.
#pragma once

#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace kurvana::testing {

// Whether `tool` is an executable on PATH: tests that need it skip otherwise.
inline bool toolInstalled(std::string_view tool) {
  const char* path = std::getenv("PATH");
  if (path == nullptr) return false;
  std::stringstream folders(path);
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    if (folder.empty()) continue;
    const std::filesystem::path candidate = std::filesystem::path(folder) / tool;
    if (::access(candidate.c_str(), X_OK) == 0) return true;
  }
  return false;
}

// Colours 0x00BBGGRR, as the plot state keeps them; top row first.
struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> colors;
  std::uint32_t at(int x, int y) const {
    return colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
};

// An RGB or RGBA PNG file, composed over black.
inline std::optional<Pixels> readPng(const std::filesystem::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return std::nullopt;
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  const png_color black{0, 0, 0};
  if (png_image_finish_read(&image, &black, rgb.data(), 0, nullptr) == 0) return std::nullopt;
  Pixels out;
  out.width = static_cast<int>(image.width);
  out.height = static_cast<int>(image.height);
  out.colors.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
  for (std::size_t i = 0; i < out.colors.size(); ++i) {
    out.colors[i] = rgb[3 * i] | (static_cast<std::uint32_t>(rgb[3 * i + 1]) << 8) |
                    (static_cast<std::uint32_t>(rgb[3 * i + 2]) << 16);
  }
  return out;
}

// An SVG of width x height points drawn at one pixel per point.
inline std::optional<Pixels> rasteriseSvg(const std::filesystem::path& svg, int width, int height) {
  const std::filesystem::path png = svg.string() + ".png";
  const std::string command = "rsvg-convert -w " + std::to_string(width) + " -h " +
                              std::to_string(height) + " -o '" + png.string() + "' '" +
                              svg.string() + "'";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  return readPng(png);
}

// The first page of a PDF at 72 dots per inch: one pixel per point.
inline std::optional<Pixels> rasterisePdf(const std::filesystem::path& pdf) {
  const std::string stem = pdf.string() + ".page";
  const std::string command =
      "pdftoppm -r 72 -png -singlefile '" + pdf.string() + "' '" + stem + "'";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  return readPng(stem + ".png");
}

// How far a colour lies from `background`: its largest channel difference.
inline int contrast(std::uint32_t color, std::uint32_t background) {
  int most = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int a = static_cast<int>((color >> shift) & 0xFFu);
    const int b = static_cast<int>((background >> shift) & 0xFFu);
    most = std::max(most, std::abs(a - b));
  }
  return most;
}

struct Region {
  int left;
  int top;
  int right;   // exclusive
  int bottom;  // exclusive
};

struct Stray {
  int x;
  int y;
};

// The ink pixels of `a` in `region` (at least `minContrast` from
// `background`) with no ink pixel of `b` within `reach` pixels in either
// direction. Both pictures must be the same size.
inline std::vector<Stray> inkWithoutCounterpart(const Pixels& a, const Pixels& b, Region region,
                                                std::uint32_t background, int minContrast,
                                                int reach) {
  const auto ink = [&](const Pixels& p, int x, int y) {
    return contrast(p.at(x, y), background) >= minContrast;
  };
  std::vector<Stray> strays;
  for (int y = region.top; y < region.bottom; ++y) {
    for (int x = region.left; x < region.right; ++x) {
      if (!ink(a, x, y)) continue;
      bool found = false;
      for (int v = std::max(0, y - reach); v <= std::min(b.height - 1, y + reach) && !found; ++v) {
        for (int u = std::max(0, x - reach); u <= std::min(b.width - 1, x + reach) && !found;
             ++u) {
          found = ink(b, u, v);
        }
      }
      if (!found) strays.push_back(Stray{x, y});
    }
  }
  return strays;
}

inline std::string describe(const std::vector<Stray>& strays) {
  std::string text = std::to_string(strays.size()) + " pixels, first at";
  for (std::size_t i = 0; i < strays.size() && i < 5; ++i) {
    text += " (" + std::to_string(strays[i].x) + ", " + std::to_string(strays[i].y) + ")";
  }
  return text;
}

}  // namespace kurvana::testing
