// Room in the window's backing store for the sizes a live resize goes
// through. Qt's X11 backing store keeps its shared-memory buffer while the
// window's image fits in it and fills more than half of it; otherwise it
// makes a new one, whose pages are then faulted in and cleared, which is
// what made each step that grew the window past its largest size so far
// dearer than the others. Where the image outgrows the buffer, the window
// asks for one larger than needed, up to the largest window, so that the
// steps that follow reuse it; where it shrinks to half, Qt's own buffer of
// the image's size leaves the most room to shrink on.
#pragma once

#include <QSize>
#include <optional>

class QWidget;

namespace kurvana::ui {

// Qt's rule, kept in step with the buffer it describes, in window pixels:
// the device pixel ratio scales both sides of its comparisons alike.
class BackingStoreReserve {
 public:
  // `largest` is the largest image the window can need.
  explicit BackingStoreReserve(QSize largest) : largest_(largest) {}

  // The window's image is now `image`: the size to make the buffer for
  // when it outgrew the one held, else nothing.
  std::optional<QSize> resized(QSize image);

  // The size of the buffer Qt holds, as far as this rule knows.
  QSize held() const { return held_; }

  // Room to grow within `largest_`: each side a quarter longer at most, so
  // that the image fills the buffer by 64 %, and may shrink by a tenth of
  // each side before Qt makes a new one.
  QSize roomFor(QSize image) const;

 private:
  QSize largest_;
  QSize held_;
};

// Applies the rule to a shown top-level widget's backing store after its
// size changed, on X11 only: other platforms keep no such buffer, and
// there a larger backing store would only cost memory.
void reserveBackingStore(QWidget* window, BackingStoreReserve& reserve);

}  // namespace kurvana::ui
