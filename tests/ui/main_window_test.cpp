// The main window driven through its widgets on the offscreen platform:
// start-up and the splash, Draw and its failures, toggles, menus, history,
// zoom, pan, the size rules, the exit path, files and shortcuts.
#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QWheelEvent>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "app/window_geometry.h"
#include "ui/chrome_widgets.h"
#include "ui/plot_widget.h"
#include "ui/splash_window.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);      // 0x0000FF: the formula did not compile
const QColor kBlue(0, 0, 255);     // 0xFF0000: its brackets do not match
const QColor kOlive(128, 128, 0);  // 0x008080: a sample failed

const std::vector<QString> kRangeLines = {"The minimum value of the function's argument",
                                          "has to be lower than the maximum value!",
                                          "Fix the range of the argument and try again."};

std::vector<QString> syntaxLines(const char* function) {
  return {QString("Please check the sintax of function ") + function,
          "or verify the list of supported functions!",
          "Notice that these formulas are case insensitive."};
}

std::int32_t int32At(const std::string& bytes, std::size_t offset) {
  std::int32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

class MainWindowTest : public WindowTest {
 protected:
  // A two-function file: F, G, then the x, y and parameter ranges.
  fs::path writePairFile(const char* name) {
    const fs::path path = root / name;
    writeFile(path,
              "F(x)=cos(x)\r\nG(x)=sin(2*x)\r\npolar = false\r\nx min = -2\r\nx max = 2\r\n"
              "y min = -2\r\ny max = 2\r\nZaxis = 200\r\nz min = 0\r\nz max = 6.3\r\n");
    return path;
  }

  std::string newestHistory(int which = 1) {
    const std::string list =
        slurp(folder / ("Kurvana" + std::string(which == 1 ? "" : "2") + ".lst"));
    return list.substr(0, list.find("\r\n"));
  }

  // A wheel turned over a widget: spontaneous, as from the window system, so
  // that it travels up to the window when the widget ignores it.
  void wheel(QWidget* over, int angle, Qt::KeyboardModifiers keys = {}) {
    QWheelEvent event(QPointF(5, 5), over->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, keys, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::instance()->notify(over, &event);
  }

  void drop(const QStringList& paths) {
    QMimeData mime;
    QList<QUrl> list;
    for (const QString& p : paths) list.push_back(QUrl::fromLocalFile(p));
    mime.setUrls(list);
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent event(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(window.get(), &event);
  }

  // The ranges as the four fields show them.
  QStringList ranges() { return {text("xMin"), text("xMax"), text("yMin"), text("yMax")}; }

  // The items of a menu by caption, enabled or not (separators left out).
  std::map<QString, bool> itemsOf(QMenu* menu) {
    std::map<QString, bool> items;
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) items[a->text()] = a->isEnabled();
    }
    return items;
  }

  // The formula field's menu, opened as a right click opens it.
  QMenu* openFieldMenu(QLineEdit* edit) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 10),
                            edit->mapToGlobal(QPoint(20, 10)));
    QApplication::sendEvent(edit, &event);
    for (QMenu* menu : window->findChildren<QMenu*>("fieldMenu")) {
      if (menu->isVisible()) return menu;
    }
    ADD_FAILURE() << "no field menu";
    return nullptr;
  }
  void clickItem(QMenu* menu, const QString& caption) {
    if (menu == nullptr) return;
    for (QAction* a : menu->actions()) {
      if (a->text() == caption) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
      }
    }
  }
  void closeMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

using WindowStartUp = MainWindowTest;
using WindowDraw = MainWindowTest;
using WindowToggles = MainWindowTest;
using WindowPointer = MainWindowTest;
using WindowCommands = MainWindowTest;
using WindowSize = MainWindowTest;
using WindowExit = MainWindowTest;
using WindowFiles = MainWindowTest;
using WindowKeyboard = MainWindowTest;

TEST_F(WindowStartUp, ARecordLargerThanTheScreenIsFittedAndNothingDrawsWhileHidden) {
  PlotState stored;
  stored.xMin = 0.1L;
  stored.xMax = 20;
  stored.optLines = flagOn;
  stored.optAutoScale = flagOn;
  const QSize screen = screenSize();
  const WindowExtent huge{screen.width() + 1000, screen.height() + 1000};
  fs::create_directories(folder);
  ASSERT_EQ(writeSettings(folder / "Kurvana.ini", stored, huge).message(), "");
  writeHistory({"F(x)=x"});

  start();
  const Size fitted =
      fitToScreen(Size{huge.width, huge.height}, Size{screen.width(), screen.height()});
  const Size limited = limitWindowSize(fitted).size;
  EXPECT_EQ(window->size(), QSize(limited.width, limited.height));
  PlotState reread;
  WindowExtent written;
  ASSERT_EQ(fs::file_size(folder / "Kurvana.ini"), 89u);
  ASSERT_EQ(readSettings(folder / "Kurvana.ini", reread, written).message(), "");
  EXPECT_EQ(written.width, fitted.width);  // written back before the layout pass
  EXPECT_EQ(written.height, fitted.height);
  // The record's values reached the fields and toggles before any Draw.
  EXPECT_EQ(text("xMin"), "0.1");
  EXPECT_EQ(text("xMax"), "20");
  EXPECT_EQ(text("formulaF"), "F(x)=x");
  EXPECT_TRUE(find<TogglePicture>("linesPicture")->isShownOn());
  EXPECT_FALSE(find<TogglePicture>("filledPicture")->isShownOn());
  EXPECT_FALSE(field("yMin")->isEnabled());
  EXPECT_TRUE(field("xMin")->isEnabled());
  EXPECT_TRUE(fs::exists(root / "data/applications/kurvana.desktop"));
  EXPECT_FALSE(commands.empty());

  QTest::qWait(350);  // three ticks of the start-up timer
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->controller().picture().empty());

  window->showCentred();
  // Drawn before the window's first paint, not at the timer's next tick.
  EXPECT_FALSE(window->controller().picture().empty());
  const QSize size = window->size();
  EXPECT_EQ(window->pos(),
            QPoint((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2));
  ASSERT_TRUE(waitForFirstDraw());
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(find("plot")->geometry(), QRect(8, 40, size.width() - 200, size.height() - 100));
  EXPECT_EQ(text("plotSize"), QString("= %1, %2").arg(size.width() - 240).arg(size.height() - 140));
}

TEST_F(WindowStartUp, TheSplashWaitsThenShowsTheWindowWhichDrawsTheFile) {
  start();
  {
    SplashWindow longWait(*window, false);
    EXPECT_EQ(longWait.waitMilliseconds(), 2500);
  }
  const fs::path file = root / "line.kv1";
  writeFunctionFile(file, "F(x)=x", "0", "10", "-5", "5");
  window.reset();
  start(file.string());
  SplashWindow splash(*window, true);
  EXPECT_EQ(splash.waitMilliseconds(), 500);
  const QSize screen = screenSize();
  const Point at = splashPosition(Size{screen.width(), screen.height()});
  EXPECT_EQ(splash.pos(), QPoint(at.x, at.y));
  EXPECT_EQ(splash.size(), QSize(417, 260));
  EXPECT_TRUE(splash.isVisible());
  EXPECT_FALSE(window->isVisible());

  ASSERT_TRUE(QTest::qWaitFor([this] { return window->isVisible(); }, kTimeoutMs));
  EXPECT_FALSE(splash.isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(window.get(), kTimeoutMs));
  ASSERT_TRUE(waitForFirstDraw());
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(text("integral"), "= 50");
  EXPECT_EQ(text("fileName"), "line.kv1");
}

TEST_F(WindowStartUp, TheSplashPaintsThenHandsOverOnceAfterHiding) {
  // The program shows the splash before it builds the main window and waits
  // for its pixels; the hand-over finds the splash already hidden.
  int handOvers = 0;
  bool hiddenAtHandOver = false;
  SplashWindow* shown = nullptr;
  SplashWindow splash(
      [&] {
        ++handOvers;
        hiddenAtHandOver = !shown->isVisible();
      },
      true);
  shown = &splash;
  EXPECT_TRUE(splash.isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return splash.painted(); }, kTimeoutMs));
  EXPECT_EQ(handOvers, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return handOvers > 0; }, kTimeoutMs));
  EXPECT_TRUE(hiddenAtHandOver);
  QTest::qWait(600);  // longer than the wait: it does not come again
  EXPECT_EQ(handOvers, 1);
}

TEST_F(WindowStartUp, ACapitalKv2FileSwitchesToTwoFunctions) {
  startShown(writePairFile("pair.KV2").string());
  const int h = window->height();
  EXPECT_TRUE(field("formulaG")->isVisible());
  EXPECT_EQ(text("formulaG"), "G(x)=sin(2*x)");
  for (const char* name : {"zCount", "zMin", "zMax"}) EXPECT_TRUE(field(name)->isVisible()) << name;
  EXPECT_EQ(text("zCount"), "200");
  EXPECT_EQ(text("readoutThirdCaption"), "G(x)");
  EXPECT_FALSE(find("integral")->isVisible());
  EXPECT_EQ(field("formulaF")->pos(), QPoint(10, h - 55));
  EXPECT_EQ(field("formulaG")->pos(), QPoint(10, h - 27));
  EXPECT_EQ(text("fileName"), "pair.KV2");
  EXPECT_TRUE(plotValid());
}

TEST_F(WindowStartUp, AnUnreadableFileIsReportedByNameAndTheFirstPlotStillComes) {
  writeHistory({"F(x)=x"});
  startShown((root / "missing.kv1").string());
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains("missing.kv1")) << problems[0].toStdString();
  EXPECT_TRUE(window->startedUp());
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(text("formulaF"), "F(x)=x");
  EXPECT_EQ(field("formulaF")->pos(), QPoint(10, window->height() - 41));
  EXPECT_FALSE(field("formulaG")->isVisible());
  EXPECT_EQ(text("readoutThirdCaption"), "F'(x)");
}

TEST_F(WindowStartUp, ADataFolderThatCannotBeMadeStopsBeforeWritingAnything) {
  writeFile(root / "home/Documents", "a file where the folder should be");
  start();
  EXPECT_FALSE(window->startedUp());
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains("Documents/Talvoren/Kurvana")) << problems[0].toStdString();
  EXPECT_FALSE(fs::exists(root / "data"));
  EXPECT_TRUE(commands.empty());
  EXPECT_FALSE(window->isVisible());
}

// The picture on screen is the core's bitmap, byte order included.
TEST_F(WindowStartUp, ThePlotShowsTheCorePicturePixelForPixel) {
  writeHistory({"F(x)=sin(x)*4"});
  startShown();
  const QImage shown = find("plot")->grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(shown, picture().convertToFormat(QImage::Format_RGB32));
}

// Once the first plot is drawn, nothing of the window's runs until the user
// does something.
TEST_F(WindowStartUp, NoTimerRunsOnceTheFirstPlotIsDrawn) {
  writeHistory({"F(x)=x"});
  startShown();
  const QList<QTimer*> timers = window->findChildren<QTimer*>();
  EXPECT_FALSE(timers.isEmpty());
  for (const QTimer* timer : timers) EXPECT_FALSE(timer->isActive()) << timer->interval();
}

TEST_F(WindowDraw, AnyMouseButtonOnDrawAndEnterInEitherFormulaField) {
  startShown();
  const std::pair<Qt::MouseButton, const char*> presses[] = {
      {Qt::LeftButton, "F(x)=x"}, {Qt::RightButton, "F(x)=2*x"}, {Qt::MiddleButton, "F(x)=3*x"}};
  for (const auto& [button, formula] : presses) {
    field("formulaF")->setText(formula);
    press("drawButton", button);
    EXPECT_EQ(newestHistory(), formula) << button;
  }

  // The press itself draws, before any release.
  field("formulaF")->setText("F(x)=7*x");
  QTest::mousePress(find("drawButton"), Qt::LeftButton);
  EXPECT_EQ(newestHistory(), "F(x)=7*x");
  QTest::mouseRelease(find("drawButton"), Qt::LeftButton);

  // Enter draws and never reaches the field; in a range field it does nothing.
  QLineEdit* f = field("formulaF");
  QSignalSpy returned(f, &QLineEdit::returnPressed);
  f->setText("F(x)=4*x");
  QTest::keyClick(f, Qt::Key_Return);
  EXPECT_EQ(newestHistory(), "F(x)=4*x");
  f->setText("F(x)=5*x");
  QTest::keyClick(f, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(newestHistory(), "F(x)=5*x");
  EXPECT_EQ(f->text(), "F(x)=5*x");
  EXPECT_EQ(returned.count(), 0);
  f->setText("F(x)=6*x");
  QTest::keyClick(field("xMax"), Qt::Key_Return);
  EXPECT_EQ(newestHistory(), "F(x)=5*x");

  window.reset();
  startShown(writePairFile("pair.kv2").string());
  field("formulaG")->setText("G(x)=x");
  QTest::keyClick(field("formulaG"), Qt::Key_Return);
  EXPECT_EQ(slurp(folder / "Kurvana3.lst").substr(0, 8), "G(x)=x\r\n");
  EXPECT_EQ(text("formulaG"), "G(x)=x");
}

TEST_F(WindowDraw, EachFailureShowsItsLinesAndColoursTheField) {
  startShown();
  struct Case {
    const char* formula;
    const char* xMax;
    std::vector<QString> lines;
    QColor colour;
  };
  const Case cases[] = {
      {"F(x)=x", "0", kRangeLines, kBlack},  // x max exactly x min
      {"F(x)=2pi*x", "10", syntaxLines("F(x)"), kRed},
      {"F(x)=)x(",
       "10",
       {"Please check the sintax of function F(x)",
        "including the number of brackets you have used!",
        "Notice that these formulas are case insensitive."},
       kBlue},
      {"F(x)=1/X",
       "10",
       {"F(x) calculation has generated an overflow error!",
        "Try to modify the range of the argument", "in order to avoid this kind of errors."},
       kOlive},
  };
  int failures = 0;
  for (const Case& c : cases) {
    field("xMax")->setText(c.xMax);
    drawFormula(c.formula);
    EXPECT_EQ(beeps, ++failures) << c.formula;
    EXPECT_EQ(messageLines(), c.lines) << c.formula;
    EXPECT_EQ(textColour("formulaF"), c.colour) << c.formula;
    EXPECT_FALSE(plotValid());
  }
  // Every failure reused the one message window, centred on the main window.
  int shown = 0;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    shown += qobject_cast<MessageWindow*>(w) != nullptr && w->isVisible();
  }
  EXPECT_EQ(shown, 1);
  const QRect main = window->geometry();
  EXPECT_EQ(window->messageWindow().pos(),
            QPoint(main.x() + (main.width() - 586) / 2, main.y() + (main.height() - 282) / 2));

  window.reset();
  startShown(writePairFile("pair.kv2").string());
  field("formulaG")->setText("G(x)=2pi*x");
  press("drawButton");
  EXPECT_EQ(messageLines(), syntaxLines("G(x)"));
  EXPECT_EQ(textColour("formulaG"), kRed);
  EXPECT_EQ(textColour("formulaF"), kBlack);  // F compiled
  EXPECT_TRUE(field("formulaG")->hasFocus());
}

TEST_F(WindowDraw, EditingEitherFormulaTurnsFBlackAgain) {
  startShown(writePairFile("pair.kv2").string());
  drawFormula("F(x)=2pi*x");
  ASSERT_EQ(textColour("formulaF"), kRed);
  QTest::keyClicks(field("formulaF"), "1");
  EXPECT_EQ(textColour("formulaF"), kBlack);
  drawFormula("F(x)=2pi*x");
  ASSERT_EQ(textColour("formulaF"), kRed);
  QTest::keyClicks(field("formulaG"), "+1");
  EXPECT_EQ(textColour("formulaF"), kBlack);
}

// The offscreen platform activates every window it shows: the message
// window hands the activation straight back, and stays. Activating the main
// window from another window dismisses it, as does OK.
TEST_F(WindowDraw, ActivatingTheMainWindowOrOkHidesTheMessage) {
  startShown();
  MessageWindow& message = window->messageWindow();
  drawFormula("F(x)=2pi*x");
  ASSERT_TRUE(waitForMessage());
  EXPECT_TRUE(message.isVisible());
  EXPECT_FALSE(message.isActiveWindow());

  QWidget elsewhere;  // another program's window
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere, kTimeoutMs));
  EXPECT_TRUE(message.isVisible());
  window->activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return !message.isVisible(); }, kTimeoutMs));

  drawFormula("F(x)=2pi*x*x");
  ASSERT_TRUE(waitForMessage());
  QTest::mouseClick(message.okButton(), Qt::LeftButton);
  EXPECT_FALSE(message.isVisible());
}

TEST_F(WindowToggles, LinesAndFilledRedrawOnlyWithAPlot) {
  startShown();
  drawFormula("F(x)=x");
  field("formulaF")->setText("F(x)=x^2");  // typed, not drawn
  press("linesPicture");
  EXPECT_TRUE(find<TogglePicture>("linesPicture")->isShownOn());
  EXPECT_EQ(newestHistory(), "F(x)=x^2");  // redrawn from the fields
  field("formulaF")->setText("F(x)=x^3");
  press("filledCaption", Qt::RightButton);  // the caption toggles as well
  EXPECT_TRUE(find<TogglePicture>("filledPicture")->isShownOn());
  EXPECT_EQ(newestHistory(), "F(x)=x^3");

  press("clearButton", Qt::RightButton);
  EXPECT_FALSE(plotValid());
  const QImage cleared = picture();
  field("formulaF")->setText("F(x)=x^4");
  press("linesCaption");
  press("filledPicture");
  EXPECT_FALSE(find<TogglePicture>("linesPicture")->isShownOn());
  EXPECT_FALSE(find<TogglePicture>("filledPicture")->isShownOn());
  EXPECT_EQ(newestHistory(), "F(x)=x^3");
  EXPECT_EQ(picture(), cleared);
}

TEST_F(WindowToggles, FilledLeavesATwoFunctionPlotAlone) {
  startShown(writePairFile("pair.kv2").string());
  ASSERT_TRUE(plotValid());
  const QImage before = picture();
  field("formulaF")->setText("F(x)=cos(3*x)");
  press("filledPicture");
  EXPECT_TRUE(find<TogglePicture>("filledPicture")->isShownOn());
  EXPECT_EQ(picture(), before);
  press("linesPicture");
  EXPECT_EQ(newestHistory(2), "F(x)=cos(3*x)");
}

TEST_F(WindowToggles, AutoScaleOnlyEnablesFieldsAndCircleTakesTheRingOff) {
  writeHistory({"F(x)=x"});
  startShown();
  const QImage drawn = picture();
  press("autoScalePicture");
  EXPECT_FALSE(field("yMin")->isEnabled());
  EXPECT_FALSE(field("yMax")->isEnabled());
  EXPECT_TRUE(field("xMax")->isEnabled());
  EXPECT_EQ(picture(), drawn);
  press("autoScaleCaption");
  EXPECT_TRUE(field("yMin")->isEnabled());

  QWidget* plot = find("plot");
  QTest::mouseMove(plot, QPoint(200, 300));
  EXPECT_EQ(picture(), drawn);  // no ring while the option is off
  press("circlePicture");
  QTest::mouseMove(plot, QPoint(220, 300));
  ASSERT_NE(picture(), drawn);
  press("circleCaption");
  EXPECT_FALSE(find<TogglePicture>("circlePicture")->isShownOn());
  EXPECT_EQ(picture(), drawn);
}

// Plot column c is image column c + 20; the margins leave the labels alone.
TEST_F(WindowPointer, ReadoutFollowsThePlotColumn) {
  writeHistory({"F(x)=x"});
  startShown();
  QWidget* plot = find("plot");
  const int w = plot->width() - 40;
  QTest::mouseMove(plot, QPoint(21, 300));
  EXPECT_EQ(text("readoutThird"), "= 0.75");  // three of the four differences
  QTest::mouseMove(plot, QPoint(19, 300));
  EXPECT_EQ(text("readoutThird"), "= 0.75");
  QTest::mouseMove(plot, QPoint(20, 300));
  EXPECT_EQ(text("readoutX"), "= 0");
  EXPECT_EQ(text("readoutThird"), "= 0.5");
  QTest::mouseMove(plot, QPoint(w + 19, 300));
  EXPECT_EQ(text("readoutX"), "= 10");
  EXPECT_EQ(text("readoutF"), "= 10");
  QTest::mouseMove(plot, QPoint(w + 18, 300));
  const QString inside = text("readoutX");
  QTest::mouseMove(plot, QPoint(w + 20, 300));
  EXPECT_EQ(text("readoutX"), inside);
}

TEST_F(WindowPointer, WheelAndZoomButtonsHalveOrDoubleOneRange) {
  writeHistory({"F(x)=x"});
  startShown();
  QWidget* plot = find("plot");
  wheel(plot, 120, Qt::ControlModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"}));
  wheel(plot, -120);
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"}));
  wheel(field("formulaF"), 60);  // half a notch: not yet a step
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"}));
  wheel(field("formulaF"), 60);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"}));
  // Shift, Alt and Ctrl each choose y; another key leaves the wheel on x.
  for (const Qt::KeyboardModifier key : {Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier}) {
    wheel(plot, 120, key);
    EXPECT_EQ(ranges(), QStringList({"0", "10", "-1.25", "1.25"})) << key;
    wheel(plot, -120, key);
    EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"})) << key;
  }
  wheel(plot, 120, Qt::MetaModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-2.5", "2.5"}));
  wheel(plot, -120, Qt::MetaModifier);

  press("zoomOutButton");
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"}));
  press("zoomInButton", Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-1.25", "1.25"}));
  press("zoomOutButton", Qt::RightButton, Qt::ShiftModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"}));
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(beeps, 0);

  // Without a plot a zoom only beeps.
  press("clearButton");
  press("zoomInButton");
  wheel(plot, 120);
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"}));
}

TEST_F(WindowPointer, PanDragMovesTheRangesAndTheReleaseDraws) {
  writeHistory({"F(x)=x"});
  startShown();
  QWidget* plot = find("plot");
  const int w = plot->width() - 40;
  const int h = plot->height() - 40;
  ASSERT_EQ(text("integral"), "= 50");
  QTest::mousePress(plot, Qt::LeftButton, {}, QPoint(300, 200));
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
  double previous = 0;
  for (int x : {310, 320, 330}) {
    QTest::mouseMove(plot, QPoint(x, 200));
    const double xMin = text("xMin").toDouble();
    EXPECT_LT(xMin, previous) << x;  // dragging right moves the view left
    previous = xMin;
  }
  EXPECT_NEAR(previous, -30.0 * 10 / w, 1e-4);
  EXPECT_EQ(text("yMin"), "-5");
  QTest::mouseMove(plot, QPoint(330, 220));
  EXPECT_NEAR(text("yMin").toDouble(), -5 + 20.0 * 10 / h, 1e-4);
  EXPECT_EQ(text("integral"), "= 0");  // the preview computes nothing
  QTest::mouseRelease(plot, Qt::LeftButton, {}, QPoint(330, 220));
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(plotValid());
  // F(x) = x integrated over the final range: (xMax^2 - xMin^2) / 2.
  const double xMin = text("xMin").toDouble();
  const double xMax = text("xMax").toDouble();
  EXPECT_NEAR(text("integral").mid(2).toDouble(), (xMax * xMax - xMin * xMin) / 2, 1e-3);
}

TEST_F(WindowCommands, PlotMenuItemsNeedAPlot) {
  startShown();
  QWidget* plot = find("plot");
  auto* menu = find<QMenu>("plotMenu");
  QTest::mouseClick(plot, Qt::RightButton, {}, QPoint(100, 100));
  ASSERT_TRUE(menu->isVisible());
  const std::map<QString, bool> withoutPlot = {
      {"Save picture", false}, {"Copy picture", false}, {"Clear picture", true},
      {"Load function", true}, {"Save function", true}, {"X zoom in", false},
      {"X zoom out", false},   {"Y zoom in", false},    {"Y zoom out", false},
      {"Back", false},         {"Forward", false},      {"Settings", true},
      {"Exit", true}};
  EXPECT_EQ(itemsOf(menu), withoutPlot);
  closeMenus();
  EXPECT_EQ(beeps, 0);  // a right press is no pan
  QTest::mouseClick(plot, Qt::LeftButton, {}, QPoint(100, 100));
  EXPECT_EQ(beeps, 1);

  drawFormula("F(x)=x");
  QTest::mouseClick(plot, Qt::RightButton, {}, QPoint(100, 100));
  // Back and Forward follow the views drawn, not the plot: one so far.
  for (const auto& [caption, enabled] : itemsOf(menu)) {
    EXPECT_EQ(enabled, caption != "Back" && caption != "Forward") << caption.toStdString();
  }
  clickItem(menu, "Y zoom in");
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"}));
  closeMenus();
}

TEST_F(WindowCommands, FieldMenuFollowsTheSelectionAndTheClipboard) {
  startShown();
  QClipboard* clipboard = QApplication::clipboard();
  clipboard->clear();
  QLineEdit* f = field("formulaF");
  f->setText("F(x)=sin(x)");
  f->deselect();
  QMenu* menu = openFieldMenu(f);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(itemsOf(menu), (std::map<QString, bool>{{"Cut", false},
                                                    {"Copy", false},
                                                    {"Paste", false},
                                                    {"Delete", false},
                                                    {"Select all", true},
                                                    {"Load function", true},
                                                    {"Save function", true}}));
  clickItem(menu, "Paste");
  EXPECT_EQ(f->text(), "F(x)=sin(x)");
  closeMenus();

  f->setSelection(5, 3);  // "sin"
  menu = openFieldMenu(f);
  EXPECT_TRUE(itemsOf(menu)["Cut"]);
  EXPECT_TRUE(itemsOf(menu)["Copy"]);
  EXPECT_TRUE(itemsOf(menu)["Delete"]);
  clickItem(menu, "Copy");
  EXPECT_EQ(clipboard->text(), "sin");
  closeMenus();

  f->setSelection(0, 5);  // the label
  clickItem(openFieldMenu(f), "Cut");
  EXPECT_EQ(f->text(), "sin(x)");
  EXPECT_EQ(clipboard->text(), "F(x)=");
  closeMenus();
  f->setText("F(x)=sin(x)");
  clipboard->setText("sin");

  f->setSelection(8, 3);  // "(x)"
  menu = openFieldMenu(f);
  EXPECT_TRUE(itemsOf(menu)["Paste"]);
  clickItem(menu, "Paste");
  EXPECT_EQ(f->text(), "F(x)=sinsin");
  closeMenus();

  f->setSelection(5, 3);
  clickItem(openFieldMenu(f), "Delete");
  EXPECT_EQ(f->text(), "F(x)=sin");
  closeMenus();

  clickItem(openFieldMenu(f), "Select all");
  EXPECT_EQ(f->selectedText(), "F(x)=sin");
  closeMenus();
  EXPECT_FALSE(itemsOf(openFieldMenu(f))["Select all"]);
  closeMenus();
}

TEST_F(WindowCommands, HistoryButtonSkipsEmptyEntriesAndWrapsOrBeeps) {
  startShown();
  press("historyButton");
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(text("formulaF"), "F(x)=");

  window.reset();
  writeHistory({"F(x)=x", "F(x)=2*x", "", "F(x)=3*x"});
  startShown();
  EXPECT_EQ(text("formulaF"), "F(x)=x");
  for (const char* expected : {"F(x)=2*x", "F(x)=3*x", "F(x)=x", "F(x)=2*x"}) {
    press("historyButton");
    EXPECT_EQ(text("formulaF"), expected);
  }
  EXPECT_EQ(beeps, 1);
}

TEST_F(WindowSize, TheGripStopsAtTheLimitsInTheSameStep) {
  writeHistory({"F(x)=x"});
  startShown();
  QWidget* grip = find("grip");
  const QSize start = window->size();
  EXPECT_EQ(grip->geometry(), QRect(start.width() - 16, start.height() - 15, 14, 13));
  const QPoint at(7, 6);  // 9 pixels from the window's corner either way
  QTest::mousePress(grip, Qt::LeftButton, {}, at);
  QTest::mouseMove(grip, at + QPoint(850 - start.width(), 0));
  EXPECT_EQ(window->size(), QSize(900, start.height()));
  EXPECT_EQ(QCursor::pos().x(), window->mapToGlobal(QPoint(900 - 9, 0)).x());
  EXPECT_EQ(find("plot")->width(), 700);
  EXPECT_EQ(grip->pos(), QPoint(900 - 16, start.height() - 15));
  EXPECT_TRUE(plotValid());  // redrawn live
  QTest::mouseRelease(grip, Qt::LeftButton, {}, at);

  QTest::mousePress(grip, Qt::LeftButton, {}, at);
  QTest::mouseMove(grip, at + QPoint(20, 600 - start.height()));
  EXPECT_EQ(window->size(), QSize(920, 633));
  EXPECT_EQ(QCursor::pos().y(), window->mapToGlobal(QPoint(0, 633 - 9)).y());
  QTest::mouseRelease(grip, Qt::LeftButton, {}, at);
  QTest::mousePress(grip, Qt::LeftButton, {}, at);
  QTest::mouseMove(grip, at + QPoint(3000, 3000));
  EXPECT_EQ(window->size(), QSize(2240, 1440));
  QTest::mouseRelease(grip, Qt::LeftButton, {}, at);
  EXPECT_EQ(text("plotSize"), "= 2000, 1300");
}

TEST_F(WindowSize, LiveResizeSkipsAntialiasingUntilTheRelease) {
  writeHistory({"F(x)=sin(x)*4"});
  startShown();
  window->controller().app().plot.optAntialias = flagOn;  // antialiases lines only
  press("linesPicture");
  QWidget* grip = find("grip");
  QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(7, 6));
  QTest::mouseMove(grip, QPoint(27, 16));
  const QImage live = picture();
  QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(27, 16));
  ASSERT_EQ(picture().size(), live.size());
  EXPECT_NE(picture(), live);
  EXPECT_TRUE(isOn(plot().optAntialias));
}

// The offscreen platform refuses a system move, so the window follows the
// pointer step by step, as on window systems without one.
TEST_F(WindowSize, TheTitleBarCarriesTheWindowAndMinimiseMinimises) {
  startShown();
  const QPoint before = window->pos();
  QWidget* title = find("titleBar");
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(400, 10));
  QTest::mouseMove(title, QPoint(420, 25));
  QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(420, 25));
  EXPECT_EQ(window->pos(), before + QPoint(20, 15));

  QTest::mouseClick(find("minimiseButton"), Qt::LeftButton);
  EXPECT_TRUE(QTest::qWaitFor([this] { return window->isMinimized(); }, kTimeoutMs));
}

TEST_F(WindowExit, EveryWayOutRunsTheExitPathOnceAndRecordsTheRanges) {
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"close button", [this] { QTest::mouseClick(find("closeButton"), Qt::LeftButton); }},
      {"Ctrl+Q", [this] { QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier); }},
      {"window manager", [this] { window->close(); }},
  };
  int offset = 0;
  for (const auto& [way, leave] : ways) {
    quits = 0;
    window.reset();
    startShown();
    const QStringList typed = {QString::number(-3 - offset), QString::number(7 + offset), "-2.5",
                               "4"};
    for (int i = 0; i < 4; ++i) {
      QLineEdit* edit = field(std::array{"xMin", "xMax", "yMin", "yMax"}[i]);
      edit->selectAll();
      QTest::keyClicks(edit, typed[i]);
    }
    leave();
    window->close();  // what the application's end brings
    EXPECT_EQ(quits, 1) << way;
    PlotState reread;
    WindowExtent extent;
    ASSERT_EQ(fs::file_size(folder / "Kurvana.ini"), 89u);
    ASSERT_EQ(readSettings(folder / "Kurvana.ini", reread, extent).message(), "") << way;
    EXPECT_EQ(reread.xMin, -3 - offset) << way;
    EXPECT_EQ(reread.xMax, 7 + offset) << way;
    EXPECT_EQ(reread.yMin, -2.5L) << way;
    EXPECT_EQ(reread.yMax, 4) << way;
    EXPECT_EQ(QSize(extent.width, extent.height), window->size()) << way;
    ++offset;
  }
}

TEST_F(WindowFiles, DropsOfOneFunctionFileLoadAndDrawOthersOnlyBeep) {
  startShown();
  const fs::path kv1 = root / "notes.kv1.txt";
  writeFunctionFile(kv1, "F(x)=x^3", "-2", "2", "-8", "8");
  drop({QString::fromStdString(kv1.string()), QString::fromStdString(kv1.string())});
  drop({QString::fromStdString((root / "notes.txt").string())});
  EXPECT_EQ(beeps, 2);
  EXPECT_FALSE(plotValid());
  EXPECT_EQ(text("fileName"), "");

  drop({QString::fromStdString(kv1.string())});
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(text("formulaF"), "F(x)=x^3");
  EXPECT_EQ(ranges(), QStringList({"-2", "2", "-8", "8"}));
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(newestHistory(), "F(x)=x^3");
  QWidget* name = find("fileName");
  EXPECT_EQ(text("fileName"), "notes.kv1.txt");
  EXPECT_NEAR(name->mapTo(window.get(), name->rect().center()).x(),
              find("plot")->geometry().center().x(), 1);

  // The full name counts, however long.
  const fs::path deep = root / std::string(120, 'd') / std::string(120, 'e') / "long.kv1";
  ASSERT_GT(deep.string().size(), 254u);
  writeFunctionFile(deep, "F(x)=x^2", "0", "1", "0", "1");
  drop({QString::fromStdString(deep.string())});
  EXPECT_EQ(text("fileName"), "long.kv1");
  EXPECT_EQ(text("formulaF"), "F(x)=x^2");

  drop({QString::fromStdString(writePairFile("pair.kv2").string())});
  EXPECT_TRUE(field("formulaG")->isVisible());
  EXPECT_EQ(text("fileName"), "pair.kv2");
  EXPECT_TRUE(plotValid());
}

TEST_F(WindowFiles, AReportIsWrittenOnDrawWithTheOptionOn) {
  startShown();
  drawFormula("F(x)=x-5");
  EXPECT_FALSE(fs::exists(folder / "kvreport.txt"));
  window->controller().app().plot.optReport = flagOn;
  drawFormula("F(x)=x-4");
  EXPECT_TRUE(fs::exists(folder / "kvreport.txt"));
  EXPECT_TRUE(problems.empty());
}

TEST_F(WindowFiles, SavePictureWritesTheFormatOfTheChosenFilter) {
  startShown();
  press("savePictureButton");
  EXPECT_EQ(beeps, 1);
  EXPECT_TRUE(requests.empty());

  drawFormula("F(x)=x");
  answers = {FileChoice{QString::fromStdString((root / "a.bmp").string()), 0},
             FileChoice{QString::fromStdString((root / "b.bmp").string()), 1},
             FileChoice{QString::fromStdString((root / "c.jpg").string()), 2},
             FileChoice{QString::fromStdString((root / "d.png").string()), 3},
             FileChoice{QString::fromStdString((root / "e.svg").string()), 4}, std::nullopt};
  for (int i = 0; i < 6; ++i) press("savePictureButton");
  ASSERT_EQ(requests.size(), 6u);
  const FileRequest& first = requests[0];
  EXPECT_EQ(first.kind, FileRequest::Kind::kSavePicture);
  EXPECT_EQ(first.filters,
            QStringList({"Bitmap picture (*.bmp)", "Jpeg picture (*.jpg)", "PNG picture (*.png)",
                         "SVG picture (*.svg)", "PDF document (*.pdf)"}));
  EXPECT_EQ(first.filter, 0);
  EXPECT_EQ(first.defaultSuffix, "bmp");
  EXPECT_EQ(first.folder.toStdString(), folder.string());
  EXPECT_EQ(requests[1].filter, 0);
  EXPECT_EQ(requests[1].defaultSuffix, "bmp");
  EXPECT_EQ(requests[2].filter, 1);
  EXPECT_EQ(requests[2].defaultSuffix, "jpg");
  EXPECT_EQ(requests[3].filter, 2);
  EXPECT_EQ(requests[3].defaultSuffix, "png");
  EXPECT_EQ(requests[4].filter, 3);
  EXPECT_EQ(requests[4].defaultSuffix, "svg");
  EXPECT_EQ(requests[5].filter, 4);
  EXPECT_EQ(requests[5].defaultSuffix, "pdf");
  // The vector filters write their format whatever the name's ending.
  const std::string svg = slurp(root / "d.png");
  EXPECT_TRUE(svg.starts_with("<?xml")) << svg.substr(0, 40);
  EXPECT_NE(svg.find("width=\"" + std::to_string(find("plot")->width()) + "pt\""), std::string::npos);
  EXPECT_TRUE(slurp(root / "e.svg").starts_with("%PDF-"));

  const QSize size = find("plot")->size();
  const std::string bmp = slurp(root / "a.bmp");
  ASSERT_GE(bmp.size(), 54u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(int32At(bmp, 18), size.width());
  EXPECT_EQ(std::abs(int32At(bmp, 22)), size.height());
  EXPECT_EQ(bmp.size(),
            54u + static_cast<std::size_t>((size.width() * 3 + 3) / 4 * 4 * size.height()));
  EXPECT_EQ(slurp(root / "b.bmp").substr(0, 3), "\xFF\xD8\xFF");
  // The PNG filter writes a PNG under a name ending in .jpg, with the same
  // pixels as the bitmap of the same plot.
  const std::string png = slurp(root / "c.jpg");
  ASSERT_GE(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  EXPECT_EQ(png[25], 2) << "RGB without alpha";
  const QImage fromPng = QImage::fromData(QByteArray(png.data(), static_cast<int>(png.size())));
  const QImage fromBmp = QImage::fromData(QByteArray(bmp.data(), static_cast<int>(bmp.size())));
  ASSERT_EQ(fromPng.size(), size);
  ASSERT_EQ(fromBmp.size(), size);
  EXPECT_FALSE(fromPng.hasAlphaChannel());
  int mismatches = 0;
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) mismatches += fromPng.pixel(x, y) != fromBmp.pixel(x, y);
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_TRUE(problems.empty());
}

TEST_F(WindowFiles, AFailedSaveIsShownNamingTheFile) {
  startShown();
  answers = {FileChoice{QString::fromStdString((root / "no/folder/x.kv1").string()), 0}};
  QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].kind, FileRequest::Kind::kSaveFunction);
  EXPECT_EQ(requests[0].defaultSuffix, "kv1");
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains("x.kv1")) << problems[0].toStdString();
}

TEST_F(WindowKeyboard, ShortcutsReachTheirCommands) {
  writeHistory({"F(x)=x"});
  startShown();
  const fs::path sine = root / "sine.kv1";
  writeFunctionFile(sine, "F(x)=sin(x)", "0", "10", "-5", "5");
  answers = {std::nullopt, FileChoice{QString::fromStdString(sine.string()), 0}};
  QLineEdit* f = field("formulaF");
  f->setFocus();
  QTest::keyClick(f, Qt::Key_S, Qt::ControlModifier);
  QTest::keyClick(f, Qt::Key_O, Qt::ControlModifier);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].kind, FileRequest::Kind::kSavePicture);
  EXPECT_EQ(requests[1].kind, FileRequest::Kind::kLoadFunction);
  EXPECT_EQ(requests[1].filters, QStringList({"Function files (*.kv1)"}));
  EXPECT_EQ(text("fileName"), "sine.kv1");
  EXPECT_EQ(newestHistory(), "F(x)=sin(x)");  // loaded and drawn

  // Every way of typing the zoom keys is in keyboard_test.cpp.
  QTest::keyClick(f, Qt::Key_Equal, Qt::ControlModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-5", "5"}));
  QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));
  QTest::keyClick(f, Qt::Key_Equal, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"}));
  QTest::keyClick(f, Qt::Key_Minus, Qt::ControlModifier | Qt::AltModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));

  QTest::keyClick(f, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_EQ(quits, 1);
}

TEST_F(WindowKeyboard, FieldsKeepTheirEditingKeys) {
  writeHistory({"F(x)=x"});
  startShown();
  QLineEdit* f = field("formulaF");
  f->setFocus();
  f->end(false);
  QTest::keyClicks(f, "+1-2");
  EXPECT_EQ(f->text(), "F(x)=x+1-2");
  QTest::keyClick(f, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(f->selectedText(), "F(x)=x+1-2");
  QTest::keyClick(f, Qt::Key_Backspace);
  EXPECT_EQ(f->text(), "");
  QTest::keyClick(f, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(f->text(), "F(x)=x+1-2");
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-5", "5"}));
  EXPECT_TRUE(requests.empty());
}

TEST_F(WindowCommands, WebPageButtonOpensTheProductPage) {
  startShown();
  press("webPageButton", Qt::RightButton);
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0], QUrl("https://www.talvoren.example/kurvana.htm"));
}

}  // namespace
}  // namespace kurvana::ui
