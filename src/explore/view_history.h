// The views a plot was drawn in, for Back and Forward. A view is the x and y
// ranges with the texts the range fields showed for them, so that going back
// shows the fields as they were and the Draw reads the very same values.
//
// Recording works like a browser's history: a view different from the
// current one goes in right after it and every entry ahead of it is dropped.
// A Draw with typed ranges is recorded the same way, so it starts a new
// branch: the typed view becomes the current entry, Back leads to the view
// it was typed over, and the views that Forward led to are gone. Recording
// the current view again (a redraw that moved nothing, a Draw after Back with
// the fields untouched) changes nothing, so Forward still works after it.
#pragma once

#include <array>
#include <cstddef>
#include <deque>
#include <string>

namespace kurvana {

struct View {
  long double xMin = 0;
  long double xMax = 0;
  long double yMin = 0;
  long double yMax = 0;
  // "x min", "x max", "y min", "y max" as shown; not compared.
  std::array<std::string, 4> texts;

  bool sameRanges(const View& other) const {
    return xMin == other.xMin && xMax == other.xMax && yMin == other.yMin && yMax == other.yMax;
  }
};

class ViewHistory {
 public:
  // The oldest views go first once this many are kept.
  static constexpr std::size_t kCapacity = 100;

  void record(const View& view);

  // One step back or forward: the view to show, or null at that end (the
  // history stays as it was).
  const View* back();
  const View* forward();

  bool canGoBack() const { return position_ > 0; }
  bool canGoForward() const { return position_ + 1 < entries_.size(); }

  std::size_t size() const { return entries_.size(); }
  // Index of the current view; 0 when empty.
  std::size_t position() const { return position_; }

 private:
  std::deque<View> entries_;
  std::size_t position_ = 0;
};

}  // namespace kurvana
