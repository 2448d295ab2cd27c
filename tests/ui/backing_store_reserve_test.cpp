// The backing store's reserve follows Qt's rule for its X11 buffer: a new
// buffer exactly when the image outgrows it or fills half of it or less,
// then one with room to grow that the image still fills by more than half,
// so that a live resize makes a new buffer only a few times.
#include "ui/backing_store_reserve.h"

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QSize& s, std::ostream* out) {
  *out << s.width() << "x" << s.height();
}

namespace kurvana::ui {
namespace {

const QSize kLargest(2240, 1440);

long long bytesOf(QSize s) {
  return 4LL * s.width() * s.height();
}

TEST(BackingStoreReserve, AnImageThatOutgrowsTheBufferGetsRoomToGrow) {
  BackingStoreReserve reserve(kLargest);
  EXPECT_EQ(reserve.resized(QSize(1000, 500)), QSize(1250, 625));
  EXPECT_EQ(reserve.held(), QSize(1250, 625));
  EXPECT_EQ(reserve.resized(QSize(1251, 625)), QSize(1563, 781));  // one column too many
  // Odd sides round down.
  EXPECT_EQ(reserve.roomFor(QSize(1023, 767)), QSize(1278, 958));
}

TEST(BackingStoreReserve, TheBufferIsKeptWhileTheImageFitsAndFillsMoreThanHalf) {
  BackingStoreReserve reserve(kLargest);
  ASSERT_TRUE(reserve.resized(QSize(1000, 500)));              // holds 1250 x 625: 781250 pixels
  EXPECT_EQ(reserve.resized(QSize(1250, 625)), std::nullopt);  // exactly full
  EXPECT_EQ(reserve.resized(QSize(781250, 1)), std::nullopt);  // bytes count, not sides
  EXPECT_EQ(reserve.resized(QSize(626, 625)), std::nullopt);   // just over half
  EXPECT_EQ(reserve.held(), QSize(1250, 625));
}

TEST(BackingStoreReserve, AnImageDownToHalfGetsQtsOwnBufferOfItsSize) {
  BackingStoreReserve reserve(kLargest);
  ASSERT_TRUE(reserve.resized(QSize(1000, 500)));
  EXPECT_EQ(reserve.resized(QSize(625, 625)), std::nullopt);  // exactly half
  EXPECT_EQ(reserve.held(), QSize(625, 625));
  EXPECT_EQ(reserve.resized(QSize(626, 625)), QSize(782, 781));
}

TEST(BackingStoreReserve, TheRoomStopsAtTheLargestImageButNeverBelowTheImage) {
  BackingStoreReserve reserve(kLargest);
  EXPECT_EQ(reserve.roomFor(QSize(2000, 1300)), kLargest);
  EXPECT_EQ(reserve.roomFor(QSize(2240, 1440)), kLargest);
  EXPECT_EQ(reserve.roomFor(QSize(2600, 1000)), QSize(2600, 1250));
}

TEST(BackingStoreReserve, AnEmptyImageFreesTheBuffer) {
  BackingStoreReserve reserve(kLargest);
  ASSERT_TRUE(reserve.resized(QSize(1000, 500)));
  EXPECT_EQ(reserve.resized(QSize(0, 500)), std::nullopt);
  EXPECT_EQ(reserve.held(), QSize());
  EXPECT_EQ(reserve.resized(QSize(1000, 500)), QSize(1250, 625));
}

// What makes the reserve work: once the repaint sets the store back to the
// image's size, Qt keeps the larger buffer.
TEST(BackingStoreReserve, TheImageFillsItsRoomByMoreThanHalf) {
  for (int w = 1; w <= 2400; w += 37) {
    for (int h = 1; h <= 1600; h += 29) {
      BackingStoreReserve reserve(kLargest);
      const std::optional<QSize> room = reserve.resized(QSize(w, h));
      ASSERT_TRUE(room);
      EXPECT_GE(bytesOf(*room), bytesOf(QSize(w, h))) << w << "x" << h;
      EXPECT_LT(bytesOf(*room) / 2, bytesOf(QSize(w, h))) << w << "x" << h;
      EXPECT_EQ(reserve.resized(QSize(w, h)), std::nullopt) << w << "x" << h;
    }
  }
}

// A drag by 8 x 5 pixels a step, from the default size to the largest, down
// to the smallest and up again: a new buffer every few hundred steps.
TEST(BackingStoreReserve, AGripDragMakesAFewBuffers) {
  BackingStoreReserve reserve(kLargest);
  ASSERT_TRUE(reserve.resized(QSize(1024, 768)));  // shown
  int buffers = 0;
  const auto drag = [&](QSize s, QSize to, int dx, int dy) {
    while (s != to) {
      s = QSize(
          dx > 0 ? std::min(s.width() + dx, to.width()) : std::max(s.width() + dx, to.width()),
          dy > 0 ? std::min(s.height() + dy, to.height()) : std::max(s.height() + dy, to.height()));
      const QSize before = reserve.held();
      reserve.resized(s);
      if (reserve.held() != before) ++buffers;
    }
  };
  drag(QSize(1024, 768), kLargest, 8, 5);
  EXPECT_EQ(buffers, 3);
  drag(kLargest, QSize(900, 633), -8, -5);
  EXPECT_EQ(buffers, 5);
  drag(QSize(900, 633), kLargest, 8, 5);
  EXPECT_EQ(buffers, 9);
}

}  // namespace
}  // namespace kurvana::ui
