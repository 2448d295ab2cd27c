// The plot's commands for the picture and the views, by key and by menu:
// Copy picture onto the clipboard without the ring, Back and Forward through
// the views drawn (a new branch included), and the keyboard trace over the
// focused plot showing what the pointer shows.
#include <QClipboard>
#include <QMenu>

#include "render/plot_geometry.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

constexpr auto kCtrl = Qt::ControlModifier;
constexpr auto kShift = Qt::ShiftModifier;
constexpr auto kAlt = Qt::AltModifier;

class ViewKeysTest : public WindowTest {
 protected:
  QStringList ranges() { return {text("xMin"), text("xMax"), text("yMin"), text("yMax")}; }

  // The plot's menu as a right press opens it, and the items by caption.
  QMenu* openPlotMenu() {
    QTest::mouseClick(find("plot"), Qt::RightButton, {}, QPoint(100, 100));
    auto* menu = find<QMenu>("plotMenu");
    EXPECT_TRUE(menu->isVisible());
    return menu;
  }
  static QAction* item(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions()) {
      if (a->text() == caption) return a;
    }
    ADD_FAILURE() << caption.toStdString();
    return nullptr;
  }
  void clickItem(QMenu* menu, const QString& caption) {
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item(menu, caption)).center());
  }
  // Closed, and the keyboard back with the main window, where the keys go.
  void closeMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->activateWindow();
    ASSERT_TRUE(waitForFocus(window.get()));
  }
  // Back and Forward in the menu: enabled or not.
  std::pair<bool, bool> backAndForward() {
    QMenu* menu = openPlotMenu();
    const std::pair<bool, bool> enabled{item(menu, "Back")->isEnabled(),
                                        item(menu, "Forward")->isEnabled()};
    closeMenus();
    return enabled;
  }

  QStringList readout() { return {text("readoutX"), text("readoutF"), text("readoutThird")}; }
  void movePointer(int x, int y) { QTest::mouseMove(find("plot"), QPoint(x, y)); }
};

TEST_F(ViewKeysTest, CopyPicturePutsThePictureWithoutTheRingOnTheClipboard) {
  startShown();
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  key(Qt::Key_C, kCtrl | kShift);  // nothing drawn yet
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(clipboard->image().isNull());

  press("circlePicture");
  drawFormula("F(x)=x-5");
  ASSERT_TRUE(plotValid());
  const QImage drawn = picture();
  movePointer(320, 100);
  ASSERT_TRUE(plot().circleShown);
  const QImage ringed = picture();
  ASSERT_NE(ringed, drawn);

  key(Qt::Key_C, kCtrl | kShift);
  QImage copied = clipboard->image();
  EXPECT_EQ(copied.size(), drawn.size());  // the bitmap's own pixels, unscaled
  EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), drawn);
  EXPECT_EQ(picture(), ringed);  // the ring stays on screen
  EXPECT_TRUE(plot().circleShown);

  clipboard->clear();
  QMenu* menu = openPlotMenu();
  EXPECT_TRUE(item(menu, "Copy picture")->isEnabled());
  clickItem(menu, "Copy picture");
  closeMenus();
  EXPECT_EQ(clipboard->image().convertToFormat(QImage::Format_RGB32), drawn);

  press("clearButton");
  menu = openPlotMenu();
  EXPECT_FALSE(item(menu, "Copy picture")->isEnabled());
  closeMenus();
  EXPECT_EQ(beeps, 1);
}

TEST_F(ViewKeysTest, BackAndForwardStepThroughTheViewsAndTypedRangesBranch) {
  startShown();
  drawFormula("F(x)=x");
  const QImage first = picture();
  EXPECT_EQ(backAndForward(), std::make_pair(false, false));
  press("zoomInButton");
  press("zoomInButton");
  ASSERT_EQ(ranges(), QStringList({"0", "2.5", "-5", "5"}));

  key(Qt::Key_Left, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-5", "5"}));
  EXPECT_EQ(plot().xMax, 5);  // drawn, not only shown
  EXPECT_EQ(backAndForward(), std::make_pair(true, true));
  clickItem(openPlotMenu(), "Back");
  closeMenus();
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));
  EXPECT_EQ(picture(), first);
  EXPECT_EQ(backAndForward(), std::make_pair(false, true));
  key(Qt::Key_Left, kAlt);  // at the start: nothing
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));
  EXPECT_EQ(beeps, 0);

  key(Qt::Key_Right, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-5", "5"}));
  EXPECT_TRUE(plotValid());

  // Typed over and drawn: the view after it, 0 to 2.5, is gone.
  field("xMax")->setText("7");
  press("drawButton");
  EXPECT_EQ(backAndForward(), std::make_pair(true, false));
  key(Qt::Key_Right, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "7", "-5", "5"}));
  key(Qt::Key_Left, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-5", "5"}));
  key(Qt::Key_Left, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));
  key(Qt::Key_Right, kAlt);
  key(Qt::Key_Right, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "7", "-5", "5"}));
  EXPECT_EQ(backAndForward(), std::make_pair(true, false));

  // A pan drag is a view of its own; the keys work from a field too.
  QWidget* plotWidget = find("plot");
  QTest::mousePress(plotWidget, Qt::LeftButton, {}, QPoint(300, 200));
  QTest::mouseMove(plotWidget, QPoint(360, 200));
  QTest::mouseRelease(plotWidget, Qt::LeftButton, {}, QPoint(360, 200));
  ASSERT_NE(text("xMin"), "0");
  field("formulaF")->setFocus();
  key(Qt::Key_Left, kAlt);
  EXPECT_EQ(ranges(), QStringList({"0", "7", "-5", "5"}));
  EXPECT_EQ(field("formulaF")->text(), "F(x)=x");
  EXPECT_EQ(beeps, 0);
}

TEST_F(ViewKeysTest, TheFocusedPlotTracesTheCurveAsThePointerDoes) {
  startShown();
  press("circlePicture");
  field("yMin")->setText("-1");
  field("yMax")->setText("11");
  drawFormula("F(x)=x");
  const int w = plot().plotWidth;
  ASSERT_GT(w, 100);

  // Keys over the plot only when it has the focus: here they edit the field.
  field("formulaF")->setFocus();
  key(Qt::Key_Right);
  EXPECT_EQ(text("readoutX"), "= 0");
  find("plot")->setFocus(Qt::TabFocusReason);
  ASSERT_EQ(focusName(), "plot");

  // Each key against the pointer at the column it should land on.
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int column;
  } cases[] = {
      {Qt::Key_Right, {}, (w - 1) / 2},  // the first key: the middle
      {Qt::Key_Right, {}, (w - 1) / 2 + 1},
      {Qt::Key_Right, kShift, (w - 1) / 2 + 11},
      {Qt::Key_Left, {}, (w - 1) / 2 + 10},
      {Qt::Key_Home, {}, 0},
      {Qt::Key_Left, {}, 0},
      {Qt::Key_Right, kShift, 10},
      {Qt::Key_End, {}, w - 1},
      {Qt::Key_Right, kShift, w - 1},
      {Qt::Key_Left, kShift, w - 11},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.column);
    key(c.key, c.modifiers);
    const QStringList byKey = readout();
    const QImage keyed = picture();
    EXPECT_TRUE(plot().circleShown);
    movePointer(c.column + kMargin, 150);
    EXPECT_EQ(readout(), byKey);
    EXPECT_EQ(picture(), keyed);
    // The plot on screen shows the ring where the keys put it.
    EXPECT_EQ(find("plot")->grab().toImage().convertToFormat(QImage::Format_RGB32), keyed);
  }
  EXPECT_EQ(text("readoutX"), "= " + QString::number(10.0 * (w - 11) / (w - 1), 'g', 6));

  // From the pointer's column on.
  movePointer(kMargin + 40, 150);
  key(Qt::Key_Right);
  const QStringList byKey = readout();
  movePointer(kMargin + 41, 150);
  EXPECT_EQ(readout(), byKey);

  // Alt+Left is Back, not a trace step; Ctrl+ + still zooms.
  const QString x = text("readoutX");
  key(Qt::Key_Left, kAlt);
  EXPECT_EQ(text("readoutX"), x);
  key(Qt::Key_Plus, kCtrl, "+");
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-1", "11"}));
  EXPECT_EQ(beeps, 0);
}

TEST_F(ViewKeysTest, TheTraceStepsAlongAParametricCurve) {
  const fs::path file = root / "pair.kv2";
  writeFile(file,
            "F(x)=cos(x)\r\nG(x)=sin(x)\r\npolar = false\r\nx min = -2\r\nx max = 2\r\n"
            "y min = -2\r\ny max = 2\r\nZaxis = 200\r\nz min = 0\r\nz max = 6.3\r\n");
  startShown(file.string());
  press("circlePicture");
  press("drawButton");
  ASSERT_TRUE(plotValid());
  find("plot")->setFocus(Qt::TabFocusReason);
  const auto t = [](int i) { return "= " + QString::number(6.3 * i / 199, 'g', 6); };
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int index;
  } cases[] = {{Qt::Key_Right, {}, 1},   {Qt::Key_Right, kShift, 11}, {Qt::Key_Left, {}, 10},
               {Qt::Key_End, {}, 199},   {Qt::Key_Right, {}, 199},    {Qt::Key_Home, {}, 0},
               {Qt::Key_Left, kShift, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.index);
    key(c.key, c.modifiers);
    EXPECT_EQ(text("readoutX"), c.index == 0 ? QString("= 0") : t(c.index));
  }
  // One key on, one pointer move on: the same point, the same ring.
  key(Qt::Key_Right);
  const QStringList byKey = readout();
  const QImage keyed = picture();
  key(Qt::Key_Left);
  movePointer(300, 200);
  EXPECT_EQ(readout(), byKey);
  EXPECT_EQ(picture(), keyed);
}

}  // namespace
}  // namespace kurvana::ui
