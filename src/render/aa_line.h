// Antialiased straight lines (Xiaolin Wu) between real points of the plot image.
#pragma once

#include "render/bitmap.h"

namespace kurvana {

// Blends the line from (x1, y1) to (x2, y2), pixel coordinates, towards the
// canvas's pen colour; pen width and style play no part. Blends accumulate, so
// drawing a line twice darkens it further. A line `width` pixels wide is that
// many lines one pixel apart across its major axis, centred on the points.
void antialiasedLine(Canvas& canvas, double x1, double y1, double x2, double y2, int width = 1);

}  // namespace kurvana
