// The small pictures drawn onto the plot: the four axis arrowheads and the
// cursor ring, built in code.
#pragma once

#include "render/bitmap.h"

namespace kurvana {

// Sizes at scale 1; at scale s each side is scaledPixels(side, s).
struct Artwork {
  Bitmap arrowRightOnBlack;  // 11 x 11, right-pointing, light grey on black (dark scheme)
  Bitmap arrowUpOnBlack;     // 11 x 11, upward-pointing, light grey on black
  Bitmap arrowRightOnWhite;  // 11 x 11, right-pointing, dark grey on white (white scheme)
  Bitmap arrowUpOnWhite;     // 11 x 11, upward-pointing, dark grey on white
  Bitmap cursorRing;         // 15 x 15, the cursor ring on black
};

// Built once per scale; the pictures never change. The arrowheads are drawn
// anew at each size, the ring is the 15 x 15 one enlarged pixel by pixel.
const Artwork& artwork(double scale = 1);

}  // namespace kurvana
