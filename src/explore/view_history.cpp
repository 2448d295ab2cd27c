#include "explore/view_history.h"

#include <cstddef>

namespace kurvana {

void ViewHistory::record(const View& view) {
  if (!entries_.empty() && entries_[position_].sameRanges(view)) return;
  if (!entries_.empty()) {
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(position_ + 1), entries_.end());
  }
  entries_.push_back(view);
  if (entries_.size() > kCapacity) entries_.pop_front();
  position_ = entries_.size() - 1;
}

const View* ViewHistory::back() {
  if (!canGoBack()) return nullptr;
  return &entries_[--position_];
}

const View* ViewHistory::forward() {
  if (!canGoForward()) return nullptr;
  return &entries_[++position_];
}

}  // namespace kurvana
