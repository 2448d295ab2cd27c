// The colour palette through the mouse: where it opens, the components
// following the pointer, a press picking the pixel under it (the cell edges,
// the margins and the row below the palette), cancel and OK, and the 512
// cells against the colour table.
#include "ui/palette_dialog.h"

#include <string>
#include <string_view>

#include "ui/chrome_art.h"
#include "ui/chrome_widgets.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

// The table, row by row, one letter per channel: U 64 + 6i, L 6i, H 32 + 3i,
// B 128 + 4i, F 255, Z 0.
QColor tableColor(int row, int i) {
  static const char* const rows[16] = {"UZZ", "ZUZ", "ZZB", "FLL", "LFL", "LLF", "ZUU", "UZU",
                                       "UUZ", "LFF", "FLF", "FFL", "ZUH", "UZH", "HUZ", "UUU"};
  const auto channel = [i](char kind) {
    const int values[] = {64 + 6 * i, 6 * i, 32 + 3 * i, 128 + 4 * i, 255, 0};
    return values[std::string_view("ULHBFZ").find(kind)];
  };
  return QColor(channel(rows[row][0]), channel(rows[row][1]), channel(rows[row][2]));
}

class PaletteDialogTest : public WindowTest {
 protected:
  PaletteDialog* open(const char* by = "colorPickerPicture",
                      Qt::MouseButton button = Qt::LeftButton) {
    press(by, button);
    auto* d = topLevel<PaletteDialog>("paletteDialog");
    EXPECT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
    return d;
  }

  // A press at pixel (x, y) of the picture under the title strip.
  static void pick(PaletteDialog* d, int x, int y, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(d, button, {}, QPoint(x, PaletteDialog::kPaletteTop + y));
    QTest::mouseRelease(d, button, {}, QPoint(x, PaletteDialog::kPaletteTop + y));
  }
  // The pointer moved there on the screen. The offscreen platform gives a
  // move to the first window under it, whatever is in front: the main window
  // has to be out of the way.
  void hover(PaletteDialog* d, int x, int y) {
    if (window->geometry().intersects(d->geometry())) window->move(-3000, -3000);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d, kTimeoutMs));
    QTest::mouseMove(d, QPoint(x, PaletteDialog::kPaletteTop + y));
  }
  static QStringList components(PaletteDialog* d) {
    return {childOf<QLabel>(d, "red")->text(), childOf<QLabel>(d, "green")->text(),
            childOf<QLabel>(d, "blue")->text()};
  }
  static QStringList componentsOf(const QColor& c) {
    return {QString("R = %1").arg(c.red()), QString("G = %1").arg(c.green()),
            QString("B = %1").arg(c.blue())};
  }

  QColor curve() { return colorFromBgr(plot().curveColor); }
  QColor dark() { return colorFromBgr(plot().curveColorDark); }
  // The swatch's colour disc spans pixels 4..20 both ways.
  QColor swatch(QPoint at = QPoint(12, 12)) {
    return find<QLabel>("colorPickerPicture")->pixmap().toImage().pixelColor(at);
  }

  static void click(PaletteDialog* d, const char* button) {
    QTest::mouseClick(childOf(d, button), Qt::LeftButton);
  }
};

const QColor kDefaultCurve(96, 96, 255);

TEST_F(PaletteDialogTest, OpensCentredFromTheSwatchOrItsCaption) {
  startShown();
  window->setGeometry(100, 50, 1001, 700);
  PaletteDialog* d = open();
  EXPECT_EQ(d->geometry(), QRect(100 + 242, 50 + 166, 516, 368));
  EXPECT_EQ(d->title(), "Color palette");
  EXPECT_EQ(components(d), QStringList({"R = 96", "G = 96", "B = 255"}));
  click(d, "okButton");
  EXPECT_FALSE(d->isVisible());
  open("colorPickerCaption", Qt::RightButton);
  EXPECT_EQ(curve(), kDefaultCurve);
}

TEST_F(PaletteDialogTest, ThePointerShowsComponentsWithoutPicking) {
  startShown();
  PaletteDialog* d = open();
  hover(d, 504, 40);  // row 2, column 31
  EXPECT_EQ(components(d), QStringList({"R = 0", "G = 0", "B = 252"}));
  hover(d, 2, 255);  // row 15, column 0, its last pixel row
  EXPECT_EQ(components(d), QStringList({"R = 64", "G = 64", "B = 64"}));
  hover(d, 300, 256);  // below the palette: the labels stay
  EXPECT_EQ(components(d), QStringList({"R = 64", "G = 64", "B = 64"}));
  EXPECT_EQ(curve(), kDefaultCurve);
  EXPECT_EQ(swatch(), kDefaultCurve);
}

TEST_F(PaletteDialogTest, APressOfAnyButtonPicksThePixelDownToRow255) {
  startShown();
  PaletteDialog* d = open();
  pick(d, 513, 255, Qt::RightButton);  // the last pixel of the last cell of row 15
  EXPECT_EQ(curve(), QColor(250, 250, 250));
  EXPECT_EQ(dark(), QColor(200, 200, 200));
  EXPECT_EQ(components(d), QStringList({"R = 250", "G = 250", "B = 250"}));
  // The colour fills the lamp's disc out to its rim and leaves the bezel.
  for (const QPoint p :
       {QPoint(5, 12), QPoint(12, 12), QPoint(19, 12), QPoint(12, 5), QPoint(12, 19)}) {
    EXPECT_EQ(swatch(p), QColor(250, 250, 250)) << p.x() << "," << p.y();
  }
  const QImage off = togglePicture(false, 1);
  for (const QPoint p : {QPoint(1, 12), QPoint(12, 1), QPoint(23, 12), QPoint(12, 23), QPoint(3, 3),
                         QPoint(21, 21)}) {
    EXPECT_EQ(swatch(p), off.pixelColor(p)) << p.x() << "," << p.y();
  }

  pick(d, 513, 256, Qt::MiddleButton);  // one row lower: nothing
  pick(d, 100, 256);
  EXPECT_EQ(curve(), QColor(250, 250, 250));
  EXPECT_EQ(components(d), QStringList({"R = 250", "G = 250", "B = 250"}));

  struct Case {
    QPoint at;
    QColor color;
  };
  const Case cases[] = {
      {{498, 32}, {0, 0, 252}},  // row 2, column 31, its first pixel
      {{17, 63}, {255, 0, 0}},   // row 3, column 0, its last pixel
      {{18, 63}, {255, 6, 6}},   // the next column
      {{2, 0}, {64, 0, 0}},      // the palette's first pixel
  };
  for (const Case& c : cases) {
    pick(d, c.at.x(), c.at.y());
    EXPECT_EQ(curve(), c.color) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(swatch(), c.color) << c.at.x() << "," << c.at.y();
    EXPECT_EQ(components(d), componentsOf(c.color));
  }
  EXPECT_TRUE(d->isVisible());
}

// The two columns either side of the cells show the window's frame; a press
// there picks the colour shown.
TEST_F(PaletteDialogTest, AMarginPressPicksTheFrameShownThere) {
  startShown();
  PaletteDialog* d = open();
  for (const int x : {0, 1, 514, 515}) {
    pick(d, x, 37);
    EXPECT_EQ(curve(), QColor(74, 73, 84)) << x;
    EXPECT_EQ(curve(), d->picture().pixelColor(x, 37)) << x;
  }
  pick(d, 2, 37);
  EXPECT_EQ(curve(), QColor(0, 0, 128));
}

TEST_F(PaletteDialogTest, CancelRestoresTheOpeningColourOkAndActivationKeepThePick) {
  startShown();
  const QColor darkBefore = dark();
  PaletteDialog* d = open();
  pick(d, 100, 10);
  pick(d, 200, 100);
  pick(d, 300, 200, Qt::RightButton);
  ASSERT_NE(curve(), kDefaultCurve);
  click(d, "cancelButton");
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(curve(), kDefaultCurve);
  EXPECT_EQ(dark(), darkBefore);
  EXPECT_EQ(swatch(), kDefaultCurve);

  open();
  pick(d, 504, 40);
  click(d, "okButton");
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(curve(), QColor(0, 0, 252));
  EXPECT_EQ(swatch(), QColor(0, 0, 252));

  // The next cancel returns to the colour of that opening, the kept pick.
  open();
  EXPECT_EQ(components(d), QStringList({"R = 0", "G = 0", "B = 252"}));
  pick(d, 17, 63);
  click(d, "cancelButton");
  EXPECT_EQ(curve(), QColor(0, 0, 252));
  EXPECT_EQ(swatch(), QColor(0, 0, 252));

  // Activating the main window hides it and keeps the pick, like OK.
  open();
  pick(d, 513, 255);
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([d] { return !d->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(curve(), QColor(250, 250, 250));
  EXPECT_EQ(swatch(), QColor(250, 250, 250));
}

// Every cell's four corner pixels, and a cell as the dialog shows it.
TEST_F(PaletteDialogTest, TheCellsFollowTheTable) {
  startShown();
  PaletteDialog* d = open();
  const QImage& shown = d->picture();
  ASSERT_EQ(shown.size(), QSize(516, 336));
  for (int r = 0; r < 16; ++r) {
    for (int i = 0; i < 32; ++i) {
      const QColor expected = tableColor(r, i);
      const int x = 16 * i + 2;
      const int y = 16 * r;
      for (const QPoint p :
           {QPoint(x, y), QPoint(x + 15, y), QPoint(x, y + 15), QPoint(x + 15, y + 15)}) {
        ASSERT_EQ(shown.pixelColor(p), expected) << "row " << r << " column " << i;
      }
    }
  }
  EXPECT_EQ(tableColor(2, 31), QColor(0, 0, 252));
  EXPECT_EQ(tableColor(3, 0), QColor(255, 0, 0));
  EXPECT_EQ(tableColor(15, 31), QColor(250, 250, 250));
  const QImage screen = d->grab(QRect(498, 32 + 32, 16, 16)).toImage();
  EXPECT_EQ(screen.pixelColor(0, 0), QColor(0, 0, 252));
  EXPECT_EQ(screen.pixelColor(15, 15), QColor(0, 0, 252));
}

}  // namespace
}  // namespace kurvana::ui
