// The window's look where it carries meaning: the title text and the file
// name against the title bar, disabled controls that look disabled.
#include <QComboBox>
#include <cmath>

#include "ui/chrome_art.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

// Relative luminance and contrast ratio as accessibility guidelines define
// them (sRGB channels made linear).
double luminance(const QColor& c) {
  const auto linear = [](int channel) {
    const double v = channel / 255.0;
    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast of `text` against the pixels of `image` in `rows`.
double lowestContrast(const QImage& image, const QColor& text, int firstRow, int lastRow) {
  double lowest = 21;
  for (int y = firstRow; y <= lastRow; ++y) {
    for (int x = 0; x < image.width(); ++x) {
      lowest = std::min(lowest, contrast(text, image.pixelColor(x, y)));
    }
  }
  return lowest;
}

// The darkest and the mean luminance of a control's picture.
struct Shades {
  double darkest = 1;
  double mean = 0;
};
Shades shadesOf(QWidget* w) {
  const QImage image = w->grab().toImage();
  Shades s;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const double l = luminance(image.pixelColor(x, y));
      s.darkest = std::min(s.darkest, l);
      s.mean += l;
    }
  }
  s.mean /= image.width() * image.height();
  return s;
}

using WindowLook = WindowTest;

TEST_F(WindowLook, TheTitleTextReadsAtFourAndAHalfToOneOnEveryTitleBar) {
  startShown();
  QColor title;
  for (QLabel* l : find("titleBar")->findChildren<QLabel*>()) {
    if (l->text() == "Kurvana") title = l->palette().color(QPalette::WindowText);
  }
  EXPECT_EQ(title, QColor(232, 233, 236));
  // The main window's title sits on rows 8..29, the dialogs' on 7..28; the
  // tile repeats along the bar.
  EXPECT_GE(lowestContrast(titleTile(1), title, 7, 29), 4.5);
  EXPECT_GE(lowestContrast(titleTile(2), title, 14, 59), 4.5);
}

TEST_F(WindowLook, TheFileNameSitsOnALightPlateOnlyWhileThereIsOne) {
  const fs::path file = root / "sine.kv1";
  writeFunctionFile(file, "F(x)=sin(x)", "0", "10", "-1", "1");
  startShown(file.string());
  auto* name = find<QLabel>("fileName");
  ASSERT_EQ(name->text(), "sine.kv1");
  EXPECT_TRUE(name->isVisible());
  const QImage plate = name->grab().toImage();
  const QColor ink(24, 27, 31);
  EXPECT_EQ(name->palette().color(QPalette::WindowText), ink);
  // The padding at either end holds no text: the plate alone.
  for (int x : {3, plate.width() - 4}) {
    SCOPED_TRACE(x);
    EXPECT_GE(contrast(ink, plate.pixelColor(x, plate.height() / 2)), 4.5);
  }
  // The name stays centred over the plot, plate and all.
  EXPECT_NEAR(name->mapTo(window.get(), name->rect().center()).x(),
              find("plot")->geometry().center().x(), 1);

  start();  // a window without a file
  EXPECT_FALSE(find<QLabel>("fileName")->isVisibleTo(window.get()));
}

TEST_F(WindowLook, ADisabledFieldShowsItsTextGrey) {
  startShown();
  QLineEdit* yMin = field("yMin");
  ASSERT_TRUE(yMin->isEnabled());
  const Shades enabled = shadesOf(yMin);
  press("autoScalePicture");
  ASSERT_FALSE(yMin->isEnabled());
  const Shades disabled = shadesOf(yMin);
  EXPECT_LT(enabled.darkest, 0.01);  // black text
  EXPECT_GT(disabled.darkest, 0.08);
  EXPECT_LT(disabled.mean, enabled.mean);
}

TEST_F(WindowLook, TheLanguageListLooksDisabledWhileTheOptionIsOff) {
  startShown();
  press("settingsButton");
  auto* d = topLevel<SettingsDialog>("settingsDialog");
  auto* list = d->findChild<QComboBox*>("languageList");
  ASSERT_FALSE(list->isEnabled());
  const Shades off = shadesOf(list);
  QTest::mouseClick(d->findChild<QWidget*>("languagePicture"), Qt::LeftButton);
  ASSERT_TRUE(list->isEnabled());
  const Shades on = shadesOf(list);
  EXPECT_LT(off.mean, on.mean * 0.5);
  EXPECT_GT(off.darkest, on.darkest);
}

}  // namespace
}  // namespace kurvana::ui
