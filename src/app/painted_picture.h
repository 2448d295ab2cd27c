// What the plot picture shows, as the states it was painted from: the empty
// plot and each curve drawn over it since, oldest first. The vector pictures
// draw them again, so that they show what the raster picture shows, a second
// formula drawn over the first included.
#pragma once

#include <cstddef>
#include <vector>

#include "plot/plot_state.h"

namespace kurvana {

class PaintedPicture {
 public:
  // Curves kept at most; beyond them the oldest are dropped, so that pressing
  // Draw again and again does not grow the record without end.
  static constexpr std::size_t kMaxCurves = 64;

  // The empty plot was painted for `state`: the curves are gone.
  void cleared(const PlotState& state) {
    frame_ = displayed(state);
    curves_.clear();
  }
  // A curve was painted from `state`'s samples.
  void curvePainted(const PlotState& state) {
    if (curves_.size() >= kMaxCurves) curves_.erase(curves_.begin());
    curves_.push_back(displayed(state));
    curves_.back().samplesA = state.samplesA;
    curves_.back().samplesB = state.samplesB;
    curves_.back().plotValid = true;
  }

  const PlotState& frame() const { return frame_; }
  const std::vector<PlotState>& curves() const { return curves_; }

 private:
  // What painting reads: ranges, frame, options, colours; not the formulas.
  static PlotState displayed(const PlotState& state) {
    PlotState copy;
    static_cast<PlotRanges&>(copy) = state;
    static_cast<FrameGeometry&>(copy) = state;
    static_cast<PlotOptions&>(copy) = state;
    static_cast<PlotColours&>(copy) = state;
    return copy;
  }

  PlotState frame_;
  std::vector<PlotState> curves_;
};

}  // namespace kurvana
