// The window on screens of two device pixel ratios: moved to the screen of
// ratio 2, the plot is painted anew at that scale, and pointer positions read
// the device column under them.
#include <QScreen>
#include <QTest>
#include <QWindow>

#include "plot/number_format.h"
#include "render/plot_geometry.h"
#include "ui/plot_widget.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

using ScreenScale = WindowTest;

QScreen* screenOfRatio(qreal ratio) {
  for (QScreen* screen : QGuiApplication::screens()) {
    if (screen->devicePixelRatio() == ratio) return screen;
  }
  return nullptr;
}

TEST_F(ScreenScale, PlotFollowsTheScreenAndPointerReadsDeviceColumns) {
  QScreen* sharp = screenOfRatio(2);
  if (sharp == nullptr) GTEST_SKIP() << "the platform offers no screen of ratio 2";
  writeHistory({"F(x)=x"});
  startShown();
  const Controller& controller = window->controller();
  QWidget* image = find("plot");
  ASSERT_EQ(controller.scale(), 1);
  ASSERT_EQ(controller.picture().width(), image->width());

  window->windowHandle()->setScreen(sharp);
  ASSERT_TRUE(QTest::qWaitFor([&] { return controller.scale() == 2; }, kTimeoutMs));
  EXPECT_EQ(controller.picture().width(), 2 * image->width());
  EXPECT_EQ(controller.picture().height(), 2 * image->height());
  EXPECT_TRUE(plotValid());
  const int w = image->width() - 40;
  EXPECT_EQ(plot().plotWidth, 2 * w);

  // Window pixel 100 is device column 200, plot column 160 of 2w.
  QTest::mouseMove(image, QPoint(100, 300));
  const PlotGeometry g = plotGeometry(plot());
  EXPECT_EQ(text("readoutX"), QString::fromStdString("= " + formatGeneral(g.xAt(160), ".")));
  // Window pixel 20 is device column 40, the first plot column.
  QTest::mouseMove(image, QPoint(20, 300));
  EXPECT_EQ(text("readoutX"), "= 0");
  QTest::mouseMove(image, QPoint(w + 19, 300));  // device column 2w + 38: one short of x max
  EXPECT_EQ(text("readoutX"), QString::fromStdString("= " + formatGeneral(g.xAt(2 * w - 2), ".")));

  // Back on the first screen, back at scale 1.
  window->windowHandle()->setScreen(QGuiApplication::primaryScreen());
  ASSERT_TRUE(QTest::qWaitFor([&] { return controller.scale() == 1; }, kTimeoutMs));
  EXPECT_EQ(controller.picture().width(), image->width());
}

}  // namespace
}  // namespace kurvana::ui
