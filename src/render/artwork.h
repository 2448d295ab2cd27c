// The small pictures drawn onto the plot: the four axis arrowheads and the
// cursor ring, built in code.
#pragma once

#include "render/bitmap.h"

namespace kurvana {

struct Artwork {
  Bitmap arrowRightOnBlack;  // 11 x 11, right-pointing, light grey on black (dark scheme)
  Bitmap arrowUpOnBlack;     // 11 x 11, upward-pointing, light grey on black
  Bitmap arrowRightOnWhite;  // 11 x 11, right-pointing, dark grey on white (white scheme)
  Bitmap arrowUpOnWhite;     // 11 x 11, upward-pointing, dark grey on white
  Bitmap cursorRing;         // 15 x 15, the cursor ring on black
};

// Built once; the pictures never change.
const Artwork& artwork();

}  // namespace kurvana
