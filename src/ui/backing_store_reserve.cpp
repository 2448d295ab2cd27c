#include "ui/backing_store_reserve.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>

namespace kurvana::ui {
namespace {

qint64 bytesOf(QSize size) {
  return 4 * static_cast<qint64>(std::max(size.width(), 0)) * std::max(size.height(), 0);
}

}  // namespace

QSize BackingStoreReserve::roomFor(QSize image) const {
  const auto longer = [](int side, int limit) {
    return std::max(side, std::min(limit, side * 5 / 4));
  };
  return QSize(longer(image.width(), largest_.width()), longer(image.height(), largest_.height()));
}

std::optional<QSize> BackingStoreReserve::resized(QSize image) {
  const qint64 needed = bytesOf(image);
  const qint64 held = bytesOf(held_);
  if (needed == 0) {  // Qt frees the buffer
    held_ = QSize();
    return std::nullopt;
  }
  if (needed > held) {
    held_ = roomFor(image);
    return held_;
  }
  // Qt's other test: a new buffer when the image fills half of it or less.
  // One of the image's own size leaves it the most room to shrink further.
  if (held / 2 >= needed) held_ = image;
  return std::nullopt;
}

void reserveBackingStore(QWidget* window, BackingStoreReserve& reserve) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
  QBackingStore* store = window->backingStore();
  if (store == nullptr) return;
  const std::optional<QSize> room = reserve.resized(window->size());
  // The repaint that follows sets the store back to the window's size; Qt
  // then keeps this buffer, which the window fills by more than half.
  if (room) store->resize(*room);
}

}  // namespace kurvana::ui
