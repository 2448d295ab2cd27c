// The settings dialog through its widgets: where it opens, each toggle by
// its picture and its caption, the language list's enabling, the steps of
// OK, the title drag, and the main window's activation hiding it.
#include "ui/settings_dialog.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <cstdint>

#include "ui/chrome_widgets.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

struct ToggleRow {
  const char* name;
  std::uint8_t PlotState::*flag;
  QPoint picture;
  QRect caption;
};
// Two columns of five; each caption sits 3 pixels below its picture's top.
const ToggleRow kToggles[] = {
    {"twoFunctions", &PlotState::optTwoFunctions, {22, 54}, {58, 57, 230, 22}},
    {"antialias", &PlotState::optAntialias, {22, 94}, {58, 97, 230, 22}},
    {"thick", &PlotState::optThick, {22, 134}, {58, 137, 230, 22}},
    {"whiteBack", &PlotState::optWhiteBack, {22, 174}, {58, 177, 230, 22}},
    {"darkNegative", &PlotState::optDarkNegative, {22, 214}, {58, 217, 230, 22}},
    {"polar", &PlotState::optPolar, {286, 54}, {323, 57, 188, 22}},
    {"grid", &PlotState::optGrid, {286, 94}, {323, 97, 188, 22}},
    {"axes", &PlotState::optAxes, {286, 134}, {323, 137, 188, 22}},
    {"report", &PlotState::optReport, {286, 174}, {323, 177, 188, 22}},
    {"language", &PlotState::optLanguage, {286, 214}, {323, 217, 188, 22}},
};

class SettingsDialogTest : public WindowTest {
 protected:
  SettingsDialog* dialog() { return topLevel<SettingsDialog>("settingsDialog"); }

  SettingsDialog* openByButton() {
    press("settingsButton");
    SettingsDialog* d = dialog();
    EXPECT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
    return d;
  }

  void pressIn(QWidget* parent, const char* name, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(childOf(parent, name), button);
  }

  void activateMainWindow() {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get(), kTimeoutMs));
  }

  bool visible(const char* name) { return find(name)->isVisible(); }
};

TEST_F(SettingsDialogTest, OpensCentredOnTheMainWindowAtEveryShow) {
  startShown();
  window->setGeometry(100, 50, 1001, 700);  // an odd width: the half is truncated
  SettingsDialog* d = openByButton();
  EXPECT_EQ(d->geometry(), QRect(100 + 241, 50 + 166, 518, 368));
  EXPECT_EQ(d->title(), "Settings");
  EXPECT_TRUE(d->windowFlags().testFlag(Qt::FramelessWindowHint));

  // Dragged away, dismissed, the main window moved: the menu's item shows it
  // centred again.
  QWidget* title = childOf(d, "titleBar");
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(200, 10));
  QTest::mouseMove(title, QPoint(260, 30));
  QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(260, 30));
  ASSERT_EQ(d->pos(), QPoint(341 + 60, 216 + 20));
  activateMainWindow();
  ASSERT_TRUE(QTest::qWaitFor([d] { return !d->isVisible(); }, kTimeoutMs));
  window->move(0, 10);
  auto* menu = find<QMenu>("plotMenu");
  QTest::mouseClick(find("plot"), Qt::RightButton, {}, QPoint(100, 100));
  ASSERT_TRUE(menu->isVisible());
  for (QAction* a : menu->actions()) {
    if (a->text() == "Settings") {
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
    }
  }
  ASSERT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(d->geometry(), QRect(241, 10 + 166, 518, 368));
}

TEST_F(SettingsDialogTest, EachToggleFlipsItsOptionAtOnceByPictureOrCaption) {
  startShown();
  SettingsDialog* d = openByButton();
  for (const ToggleRow& t : kToggles) {
    SCOPED_TRACE(t.name);
    auto* picture = childOf<TogglePicture>(d, (std::string(t.name) + "Picture").c_str());
    QWidget* caption = childOf(d, (std::string(t.name) + "Caption").c_str());
    EXPECT_EQ(picture->geometry(), QRect(t.picture, QSize(25, 25)));
    EXPECT_EQ(caption->geometry(), t.caption);
    // Grid, axes and darker negatives start on.
    const std::string name = t.name;
    const bool on = name == "grid" || name == "axes" || name == "darkNegative";
    ASSERT_EQ(+(plot().*t.flag), on ? 11 : 22);
    EXPECT_EQ(picture->isShownOn(), on);

    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_EQ(+(plot().*t.flag), on ? 22 : 11);
    EXPECT_EQ(picture->isShownOn(), !on);
    QTest::mouseClick(caption, Qt::RightButton);  // any button, on the caption too
    EXPECT_EQ(+(plot().*t.flag), on ? 11 : 22);
    EXPECT_EQ(picture->isShownOn(), on);
    QTest::mouseClick(caption, Qt::MiddleButton);
    EXPECT_EQ(+(plot().*t.flag), on ? 22 : 11);
    EXPECT_TRUE(d->isVisible());
  }
  EXPECT_FALSE(fs::exists(folder / "Kurvana.lng"));  // nothing of OK ran
}

TEST_F(SettingsDialogTest, TheLanguageToggleEnablesTheListAndOffResetsItToEnglish) {
  fs::create_directories(root / "bin");
  fs::copy_file(fs::path(KURVANA_ASSETS_DIR) / "lang_de.txt", root / "bin/lang_de.txt");
  startShown();
  SettingsDialog* d = openByButton();
  auto* list = childOf<QComboBox>(d, "languageList");
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->itemText(0), "English");
  EXPECT_EQ(list->itemText(1), "Deutsch");
  EXPECT_EQ(list->geometry(), QRect(286, 250, 192, 24));
  EXPECT_FALSE(list->isEnabled());

  pressIn(d, "languagePicture");
  EXPECT_TRUE(list->isEnabled());
  QTest::keyClick(list, Qt::Key_Down);
  ASSERT_EQ(list->currentText(), "Deutsch");
  pressIn(d, "languageCaption");
  EXPECT_FALSE(list->isEnabled());
  EXPECT_EQ(list->currentIndex(), 0);
  EXPECT_EQ(list->currentText(), "English");

  // On again, Deutsch chosen, then off: OK writes and applies English.
  pressIn(d, "languagePicture");
  QTest::keyClick(list, Qt::Key_Down);
  pressIn(d, "languagePicture");
  pressIn(d, "okButton");
  EXPECT_FALSE(d->isVisible());
  EXPECT_EQ(slurp(folder / "Kurvana.lng"), utf16("English\r\n"));
  EXPECT_EQ(text("colorPickerCaption"), " Color picker");
  EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsDialogTest, OkArrangesTheFormulaAreaForTheMode) {
  writeHistory({"F(x)=x/2"});
  writeFile(folder / "Kurvana2.lst", "F(x)=cos(x)\r\nF(x)=x\r\n");
  writeFile(folder / "Kurvana3.lst", "G(x)=sin(x)\r\nG(x)=x\r\n");
  startShown();
  const int h = window->height();
  press("autoScalePicture");
  SettingsDialog* d = openByButton();
  pressIn(d, "twoFunctionsPicture");
  EXPECT_FALSE(visible("formulaG"));  // the toggle alone arranges nothing
  pressIn(d, "okButton");
  EXPECT_FALSE(d->isVisible());
  EXPECT_TRUE(visible("formulaG"));
  for (const char* name : {"zCount", "zMin", "zMax"}) EXPECT_TRUE(visible(name)) << name;
  EXPECT_EQ(text("formulaF"), "F(x)=cos(x)");
  EXPECT_EQ(text("formulaG"), "G(x)=sin(x)");
  EXPECT_EQ(field("formulaF")->pos(), QPoint(10, h - 55));
  EXPECT_EQ(field("formulaG")->pos(), QPoint(10, h - 27));
  EXPECT_EQ(text("readoutThirdCaption"), "G(x)");
  // Automatic scale with two functions decides x as well as y.
  for (const char* name : {"xMin", "xMax", "yMin", "yMax"}) {
    EXPECT_FALSE(field(name)->isEnabled()) << name;
  }
  EXPECT_TRUE(plotValid());

  // Back to one function: its own history, the x fields free again.
  openByButton();
  pressIn(d, "twoFunctionsCaption");
  pressIn(d, "okButton");
  EXPECT_FALSE(visible("formulaG"));
  EXPECT_FALSE(visible("zCount"));
  EXPECT_EQ(text("formulaF"), "F(x)=x/2");
  EXPECT_EQ(field("formulaF")->pos(), QPoint(10, h - 41));
  EXPECT_TRUE(field("xMin")->isEnabled());
  EXPECT_FALSE(field("yMin")->isEnabled());

  // Without a two-function history both fields get their bare labels.
  fs::remove(folder / "Kurvana2.lst");
  fs::remove(folder / "Kurvana3.lst");
  openByButton();
  pressIn(d, "twoFunctionsPicture");
  pressIn(d, "okButton");
  EXPECT_EQ(text("formulaF"), "F(x)=");
  EXPECT_EQ(text("formulaG"), "G(x)=");
  EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsDialogTest, OkAppliesTheColourSchemeAndRedraws) {
  writeHistory({"F(x)=x/2"});
  startShown();
  ASSERT_TRUE(plotValid());
  const QPoint corner(1, 1);  // the plot's margin: background only
  ASSERT_EQ(picture().pixelColor(corner), QColor(0, 0, 0));
  SettingsDialog* d = openByButton();
  pressIn(d, "whiteBackPicture");
  EXPECT_EQ(picture().pixelColor(corner), QColor(0, 0, 0));  // only OK redraws
  pressIn(d, "okButton");
  EXPECT_EQ(picture().pixelColor(corner), QColor(255, 255, 255));
  EXPECT_TRUE(plotValid());

  const QImage cartesian = picture();
  openByButton();
  pressIn(d, "polarCaption");
  pressIn(d, "okButton");
  EXPECT_TRUE(plotValid());
  EXPECT_NE(picture(), cartesian);
  EXPECT_TRUE(visible("zCount"));  // polar curves run over the parameter
  EXPECT_FALSE(visible("formulaG"));
  EXPECT_EQ(text("readoutThirdCaption"), "");
  EXPECT_EQ(slurp(folder / "Kurvana.lng"), utf16("English\r\n"));
  EXPECT_TRUE(problems.empty());
}

TEST_F(SettingsDialogTest, ActivatingTheMainWindowHidesItKeepingTheFlips) {
  startShown();
  SettingsDialog* d = openByButton();
  QWidget* title = childOf(d, "title");  // the title text drags as well
  const QPoint start = d->pos();
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(20, 10));
  QTest::mouseMove(title, QPoint(5, 40));
  QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(5, 40));
  EXPECT_EQ(d->pos(), start + QPoint(-15, 30));

  pressIn(d, "polarPicture");
  pressIn(d, "thickCaption");
  activateMainWindow();
  EXPECT_TRUE(QTest::qWaitFor([d] { return !d->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(+plot().optPolar, 11);
  EXPECT_EQ(+plot().optThick, 11);
  EXPECT_FALSE(visible("zCount"));  // OK's steps did not run
  EXPECT_FALSE(fs::exists(folder / "Kurvana.lng"));

  // A .kv2 file dropped meanwhile switches the mode; shown again, the
  // dialog tells the states as they are now.
  const fs::path pair = root / "pair.kv2";
  writeFile(pair,
            "F(x)=cos(x)\r\nG(x)=sin(x)\r\npolar = false\r\nx min = -2\r\nx max = 2\r\n"
            "y min = -2\r\ny max = 2\r\nZaxis = 200\r\nz min = 0\r\nz max = 6.3\r\n");
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(pair.string()))});
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(window.get(), &enter);
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
  QApplication::sendEvent(window.get(), &drop);
  ASSERT_EQ(+plot().optTwoFunctions, 11);
  openByButton();
  EXPECT_EQ(d->pos(), start);  // centred again
  EXPECT_TRUE(childOf<TogglePicture>(d, "twoFunctionsPicture")->isShownOn());
  EXPECT_TRUE(childOf<TogglePicture>(d, "thickPicture")->isShownOn());
}

}  // namespace
}  // namespace kurvana::ui
