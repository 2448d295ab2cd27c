// The small pictures drawn onto the plot: the four axis arrowheads and the
// cursor ring, built in code.
#pragma once

#include "render/bitmap.h"

namespace kurvana {

struct Artwork {
  Bitmap arw;      // 11 x 11, right-pointing, light grey on black (dark scheme)
  Bitmap auw;      // 11 x 11, upward-pointing, light grey on black
  Bitmap arb;      // 11 x 11, right-pointing, dark grey on white (white scheme)
  Bitmap aub;      // 11 x 11, upward-pointing, dark grey on white
  Bitmap cercmic;  // 15 x 15, the cursor ring on black
};

// Built once; the pictures never change.
const Artwork& artwork();

}  // namespace kurvana
