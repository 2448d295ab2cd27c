// The state of exploring a drawn plot (cursor ring, walk along a curve, pan
// drag) and the input it reacts to.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "plot/fields.h"
#include "plot/plot_state.h"
#include "render/bitmap.h"
#include "render/curves.h"
#include "render/plot_geometry.h"

namespace kurvana {

// The keyboard modifiers that pointer commands look at.
struct Keys {
  bool shift = false;
  bool alt = false;
  bool ctrl = false;
  bool any() const { return shift || alt || ctrl; }
};

enum class MouseButton { kLeft, kMiddle, kRight };

inline constexpr int kRingSize = 15;  // the ring's side at scale 1

// Program-wide, one instance; survives Draws.
struct ExploreState {
  Bitmap circleBacking{kRingSize, kRingSize};  // the image pixels under the ring, its size
  Rect circleRect;                             // where circleBacking was taken from

  std::int32_t walkIndex = 0;  // sample shown in parametric and polar modes
  std::int32_t walkStep = 1;   // +1 or -1
  // Pointer position of the last move that advanced the walk, or of the
  // previous drag step.
  std::int32_t lastMouseX = 0;
  std::int32_t lastMouseY = 0;
  // Plot column of the last Cartesian readout, where the keyboard trace goes
  // on from; -1 until the first one.
  std::int32_t traceColumn = -1;

  bool panActive = false;
  std::int32_t panStartX = 0;
  std::int32_t panStartY = 0;
  // Preview copies of the samples: shifted (Cartesian) or filtered to the
  // view (parametric and polar); noSample marks an entry without a point.
  std::array<long double, kSampleCapacity> panSamplesA{};
  std::array<long double, kSampleCapacity> panSamplesB{};
};

}  // namespace kurvana
