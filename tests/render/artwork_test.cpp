// The built-in pictures: arrowhead shapes, their two colour schemes, and the
// cursor ring pixel by pixel.
#include "render/artwork.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace kurvana {
namespace {

constexpr Color kBlack = 0x000000;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kRing = 0x002987;  // RGB (135, 41, 0)

Color grey(int level) {
  const auto v = static_cast<Color>(level);
  return v | (v << 8) | (v << 16);
}

TEST(Artwork, Sizes) {
  const Artwork& art = artwork();
  for (const Bitmap* arrow :
       {&art.arrowRightOnBlack, &art.arrowUpOnBlack, &art.arrowRightOnWhite, &art.arrowUpOnWhite}) {
    EXPECT_EQ(arrow->width(), 11);
    EXPECT_EQ(arrow->height(), 11);
  }
  EXPECT_EQ(art.cursorRing.width(), 15);
  EXPECT_EQ(art.cursorRing.height(), 15);
  EXPECT_EQ(&artwork(), &art) << "built once";
}

// Ring columns per row, numbered from 1 as in the drawing of the ring.
const std::vector<std::string> kRingRows = {
    ".....#####.....",  //
    "...#########...",  //
    "..###########..",  //
    ".#############.",  //
    ".#####...#####.",  //
    "#####.....#####",  //
    "####.......####",  //
    "####.......####",  //
    "####.......####",  //
    "#####.....#####",  //
    ".#####...#####.",  //
    ".#############.",  //
    "..###########..",  //
    "...#########...",  //
    ".....#####.....",
};

TEST(Artwork, CursorRingMatchesItsDrawing) {
  const Bitmap& ring = artwork().cursorRing;
  for (int y = 0; y < 15; ++y) {
    for (int x = 0; x < 15; ++x) {
      const Color expected = kRingRows[y][x] == '#' ? kRing : kBlack;
      EXPECT_EQ(ring.pixel(x, y), expected) << "row " << y + 1 << " column " << x + 1;
    }
  }
}

// Arrowhead pixel values for one scheme.
struct Scheme {
  const char* name;
  const Bitmap& right;
  const Bitmap& up;
  int paper;  // background grey level, drawn as the transparent colour
  int ink;    // grey level of the triangle
};

std::vector<Scheme> schemes() {
  const Artwork& art = artwork();
  return {{"dark", art.arrowRightOnBlack, art.arrowUpOnBlack, 0, 160},
          {"white", art.arrowRightOnWhite, art.arrowUpOnWhite, 255, 64}};
}

// Whether the pixel lies on or inside the right-pointing triangle with
// corners (1, 1), (1, 9), (9, 5): |y - 5| <= (9 - x) / 2.
bool insideRight(int x, int y) {
  return x >= 1 && x <= 9 && 2 * std::abs(y - 5) <= 9 - x;
}

TEST(Artwork, ArrowheadsAreFullOnBaseAndTipAndTransparentOutside) {
  for (const Scheme& s : schemes()) {
    for (int y = 1; y <= 9; ++y)
      EXPECT_EQ(s.right.pixel(1, y), grey(s.ink)) << s.name << " base row " << y;
    for (int x = 1; x <= 9; ++x)
      EXPECT_EQ(s.up.pixel(x, 9), grey(s.ink)) << s.name << " base column " << x;
    EXPECT_EQ(s.right.pixel(9, 5), grey(s.ink)) << s.name << " right tip";
    EXPECT_EQ(s.up.pixel(5, 1), grey(s.ink)) << s.name << " up tip";

    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < 11; ++x) {
        const Color right = s.right.pixel(x, y);
        // Every pixel is a grey between paper and ink.
        EXPECT_EQ(right, grey(static_cast<int>(right & 0xFF))) << s.name << " " << x << "," << y;
        const int level = static_cast<int>(right & 0xFF);
        EXPECT_TRUE(level >= std::min(s.paper, s.ink) && level <= std::max(s.paper, s.ink))
            << s.name << " " << x << "," << y << " level " << level;
        if (insideRight(x, y)) {
          EXPECT_NE(right, grey(s.paper)) << s.name << " hole inside at " << x << "," << y;
        }
        // Pixels with no neighbour in the triangle along either axis are untouched.
        const bool far = !insideRight(x, y) && !insideRight(x - 1, y) && !insideRight(x + 1, y) &&
                         !insideRight(x, y - 1) && !insideRight(x, y + 1);
        if (far) {
          EXPECT_EQ(right, grey(s.paper)) << s.name << " " << x << "," << y;
        }
      }
    }
    for (int i = 0; i < 11; ++i) {
      EXPECT_EQ(s.right.pixel(0, i), grey(s.paper)) << s.name << " left border";
      EXPECT_EQ(s.right.pixel(10, i), grey(s.paper)) << s.name << " right border";
      EXPECT_EQ(s.right.pixel(i, 0), grey(s.paper)) << s.name << " top border";
      EXPECT_EQ(s.right.pixel(i, 10), grey(s.paper)) << s.name << " bottom border";
    }
  }
}

TEST(Artwork, ArrowheadsAreSymmetricAndTheUpwardOneIsTheRightOneTurned) {
  for (const Scheme& s : schemes()) {
    for (int y = 0; y < 11; ++y) {
      for (int x = 0; x < 11; ++x) {
        EXPECT_EQ(s.right.pixel(x, y), s.right.pixel(x, 10 - y)) << s.name << " " << x << "," << y;
        EXPECT_EQ(s.up.pixel(x, y), s.up.pixel(10 - x, y)) << s.name << " " << x << "," << y;
        EXPECT_EQ(s.up.pixel(x, y), s.right.pixel(10 - y, x)) << s.name << " " << x << "," << y;
      }
    }
  }
}

TEST(Artwork, SchemesShareOneSoftenedCoverage) {
  // With c the coverage, dark = Round(160 c) and white = 255 - Round(191 c).
  const Artwork& art = artwork();
  int partial = 0;
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 11; ++x) {
      const double dark = (art.arrowRightOnBlack.pixel(x, y) & 0xFF) / 160.0;
      const double white =
          (255 - static_cast<int>(art.arrowRightOnWhite.pixel(x, y) & 0xFF)) / 191.0;
      EXPECT_NEAR(dark, white, 0.01) << x << "," << y;
      EXPECT_EQ(dark == 0, white == 0) << "transparent in one scheme only at " << x << "," << y;
      partial += dark > 0 && dark < 1;
    }
  }
  EXPECT_GE(partial, 8) << "edges are not softened";
}

}  // namespace
}  // namespace kurvana
