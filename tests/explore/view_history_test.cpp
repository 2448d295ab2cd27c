// The view history as a browser's: Back and Forward at their ends, a new view
// after Back dropping the ones ahead, the current view recorded again
// changing nothing, and the oldest views going at the capacity.
#include "explore/view_history.h"

#include <gtest/gtest.h>

#include <string>

namespace kurvana {
namespace {

View xRange(long double xMax) {
  return View{0, xMax, -5, 5, {"0", std::to_string(static_cast<int>(xMax)), "-5", "5"}};
}

TEST(ViewHistory, BackAndForwardStopAtTheEnds) {
  ViewHistory h;
  EXPECT_EQ(h.back(), nullptr);
  EXPECT_EQ(h.forward(), nullptr);
  h.record(xRange(10));
  EXPECT_FALSE(h.canGoBack());
  EXPECT_FALSE(h.canGoForward());
  h.record(xRange(5));
  h.record(xRange(2));
  ASSERT_EQ(h.size(), 3u);
  EXPECT_EQ(h.position(), 2u);
  EXPECT_EQ(h.forward(), nullptr);

  const View* v = h.back();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->xMax, 5);
  EXPECT_EQ(v->texts[1], "5");
  v = h.back();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->xMax, 10);
  EXPECT_FALSE(h.canGoBack());
  EXPECT_EQ(h.back(), nullptr);
  EXPECT_EQ(h.position(), 0u);  // the refused step moved nothing
  EXPECT_TRUE(h.canGoForward());
  EXPECT_EQ(h.forward()->xMax, 5);
  EXPECT_EQ(h.forward()->xMax, 2);
  EXPECT_EQ(h.forward(), nullptr);
}

TEST(ViewHistory, ANewViewAfterBackDropsTheViewsAhead) {
  ViewHistory h;
  for (const long double x : {10.0L, 5.0L, 2.0L, 1.0L}) h.record(xRange(x));
  h.back();
  h.back();  // at 5
  h.record(xRange(7));
  EXPECT_EQ(h.size(), 3u);
  EXPECT_FALSE(h.canGoForward());
  EXPECT_EQ(h.back()->xMax, 5);
  EXPECT_EQ(h.back()->xMax, 10);
  EXPECT_EQ(h.back(), nullptr);
}

TEST(ViewHistory, TheCurrentViewAgainChangesNothing) {
  ViewHistory h;
  h.record(xRange(10));
  h.record(xRange(5));
  h.back();
  // Same ranges, other texts ("10.0" typed for 10): still the same view.
  View same = xRange(10);
  same.texts[1] = "10.0";
  h.record(same);
  EXPECT_EQ(h.size(), 2u);
  EXPECT_TRUE(h.canGoForward());
  EXPECT_EQ(h.forward()->texts[1], "5");

  // Any one of the four ends differing makes a new view.
  for (int end = 0; end < 4; ++end) {
    SCOPED_TRACE(end);
    ViewHistory g;
    const View a = xRange(10);
    View b = a;
    long double* ends[] = {&b.xMin, &b.xMax, &b.yMin, &b.yMax};
    *ends[end] += 1;
    g.record(a);
    g.record(b);
    EXPECT_EQ(g.size(), 2u);
  }
}

TEST(ViewHistory, TheOldestViewsGoAtTheCapacity) {
  ViewHistory h;
  for (std::size_t i = 0; i < ViewHistory::kCapacity; ++i) h.record(xRange(i + 1.0L));
  ASSERT_EQ(h.size(), ViewHistory::kCapacity);
  h.record(xRange(1000));
  EXPECT_EQ(h.size(), ViewHistory::kCapacity);
  EXPECT_EQ(h.position(), ViewHistory::kCapacity - 1);
  const View* oldest = nullptr;
  int steps = 0;
  while (const View* v = h.back()) {
    oldest = v;
    ++steps;
  }
  EXPECT_EQ(steps, static_cast<int>(ViewHistory::kCapacity) - 1);
  ASSERT_NE(oldest, nullptr);
  EXPECT_EQ(oldest->xMax, 2);  // the first one recorded went
}

}  // namespace
}  // namespace kurvana
