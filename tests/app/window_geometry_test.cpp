// The main window's size rules, window placement and the product page address.
#include "app/window_geometry.h"

#include <gtest/gtest.h>

#include "app/web_address.h"

namespace kurvana {
namespace {

TEST(WindowGeometry, LimitsApplyPerDimensionAndSayWhichChanged) {
  struct Case {
    Size in;
    Size out;
    bool width;
    bool height;
  };
  const Case cases[] = {
      {{900, 633}, {900, 633}, false, false},      // exactly the smallest size
      {{2240, 1440}, {2240, 1440}, false, false},  // exactly the largest
      {{850, 700}, {900, 700}, true, false},       // the grip dragged too narrow
      {{1000, 632}, {1000, 633}, false, true},    {{2241, 1441}, {2240, 1440}, true, true},
      {{100, 5000}, {900, 1440}, true, true},
  };
  for (const Case& c : cases) {
    const LimitedSize got = limitWindowSize(c.in);
    EXPECT_EQ(got.size.width, c.out.width) << c.in.width << "x" << c.in.height;
    EXPECT_EQ(got.size.height, c.out.height) << c.in.width << "x" << c.in.height;
    EXPECT_EQ(got.widthLimited, c.width) << c.in.width << "x" << c.in.height;
    EXPECT_EQ(got.heightLimited, c.height) << c.in.width << "x" << c.in.height;
  }
}

TEST(WindowGeometry, TheRecordedSizeIsFittedToTheScreen) {
  const Size fitted = fitToScreen({3000, 2000}, {1920, 1080});
  EXPECT_EQ(fitted.width, 1920);
  EXPECT_EQ(fitted.height, 1050);
  EXPECT_EQ(limitWindowSize(fitted).size.height, 1050);  // which the layout keeps
  // Exactly the screen's size is not beyond it.
  EXPECT_EQ(fitToScreen({1920, 1080}, {1920, 1080}).height, 1080);
}

TEST(WindowGeometry, TheMaximiseRule) {
  const Size screen{1920, 1080};
  EXPECT_TRUE(countsAsMaximised(true, {1024, 768}, screen));
  EXPECT_TRUE(countsAsMaximised(false, {1920, 700}, screen));
  EXPECT_TRUE(countsAsMaximised(false, {1000, 1080}, screen));
  EXPECT_FALSE(countsAsMaximised(false, {1919, 1079}, screen));
  EXPECT_TRUE(restoreToSmallest({1910, 700}, screen));
  EXPECT_TRUE(restoreToSmallest({1000, 1070}, screen));
  EXPECT_FALSE(restoreToSmallest({1909, 1069}, screen));
}

TEST(WindowGeometry, SplashAndCentring) {
  const Point splash = splashPosition({1920, 1080});
  EXPECT_EQ(splash.x, 751);
  EXPECT_EQ(splash.y, 328);
  const Point main = centredOn({0, 0}, {1920, 1080}, {1024, 768});
  EXPECT_EQ(main.x, 448);
  EXPECT_EQ(main.y, 156);
  // Halves are truncated toward zero, also for a window larger than its parent.
  const Point over = centredOn({10, 10}, {100, 100}, {103, 103});
  EXPECT_EQ(over.x, 9);
  EXPECT_EQ(over.y, 9);
}

TEST(WebAddress, TheProductPageIsOnAReservedHost) {
  EXPECT_EQ(productPageAddress(), "https://www.talvoren.example/kurvana.htm");
  EXPECT_TRUE(webHost().ends_with(".example"));
}

}  // namespace
}  // namespace kurvana
