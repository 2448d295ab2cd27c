// The window by keyboard, keys sent to whichever window holds the keyboard:
// a failed Draw leaves it with the formula field; what dismisses the
// message; Esc and Enter in the dialogs; the Tab order, Space and Enter on the
// picture controls and their focus mark; Tab into a formula field; the zoom
// keys as US and German keyboards send them; range fields showing the start
// of a long number.
#include <QComboBox>
#include <QFontMetrics>
#include <functional>

#include "ui/about_window.h"
#include "ui/chrome_widgets.h"
#include "ui/fields.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

class KeyboardTest : public WindowTest {
 protected:
  fs::path writePairFile() {
    const fs::path path = root / "pair.kv2";
    writeFile(path,
              "F(x)=cos(x)\r\nG(x)=sin(2*x)\r\npolar = false\r\nx min = -2\r\nx max = 2\r\n"
              "y min = -2\r\ny max = 2\r\nZaxis = 200\r\nz min = 0\r\nz max = 6.3\r\n");
    return path;
  }
  std::string newestHistory() {
    const std::string list = slurp(folder / "Kurvana.lst");
    return list.substr(0, list.find("\r\n"));
  }
  QStringList ranges() { return {text("xMin"), text("xMax"), text("yMin"), text("yMax")}; }
  void setRanges(const char* xMin, const char* xMax, const char* yMin, const char* yMax) {
    field("xMin")->setText(xMin);
    field("xMax")->setText(xMax);
    field("yMin")->setText(yMin);
    field("yMax")->setText(yMax);
  }

  // Focus as Tab gives it, without walking the chain.
  void tabFocus(const char* name) {
    find(name)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(focusName(), name);
  }

  // The names Tab visits from the focus until one comes round again (the
  // start or the first visited), at most `limit`.
  QStringList tabCycle(Qt::Key tab = Qt::Key_Tab, int limit = 40) {
    const QString start = focusName();
    QStringList seen;
    for (int i = 0; i < limit; ++i) {
      key(tab, tab == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
      const QString now = focusName();
      const bool round = now == start || seen.contains(now);
      seen << now;
      if (round) break;
    }
    return seen;
  }

  void failDraw() {
    drawFormula("F(x)=2pi*x");
    ASSERT_TRUE(waitForMessage());
  }

  template <typename T>
  T* openDialog(const char* button, const char* name) {
    press(button);
    auto* dialog = topLevel<T>(name);
    // Shown at once, or once the main window's activation came (or did not).
    EXPECT_TRUE(QTest::qWaitFor([dialog] { return dialog->isActiveWindow(); }, kTimeoutMs)) << name;
    return dialog;
  }
};

// The message tells what is wrong; the keys go on landing in the field, and
// the Draw that Enter starts once the formula is mended dismisses it.
TEST_F(KeyboardTest, AFailedDrawLeavesTheKeysWithTheFormulaField) {
  startShown();
  MessageWindow& message = window->messageWindow();
  QLineEdit* f = field("formulaF");
  f->setText("F(x)=2pi*x");
  f->setFocus();
  key(Qt::Key_Return);
  ASSERT_EQ(beeps, 1);
  ASSERT_TRUE(waitForMessage());
  EXPECT_FALSE(message.isActiveWindow());
  EXPECT_EQ(focusName(), "formulaF");

  key(Qt::Key_Home);
  for (int i = 0; i < 6; ++i) key(Qt::Key_Right);
  type("*");
  EXPECT_EQ(f->text(), "F(x)=2*pi*x");
  EXPECT_TRUE(message.isVisible());  // typing leaves it
  key(Qt::Key_Return);
  EXPECT_TRUE(plotValid());
  EXPECT_EQ(newestHistory(), "F(x)=2*pi*x");
  EXPECT_FALSE(message.isVisible());

  // The syntax error brings the cursor to the failing field from elsewhere.
  f->setText("F(x)=3pi*x");
  tabFocus("xMin");
  press("drawButton");
  ASSERT_TRUE(waitForMessage());
  EXPECT_EQ(focusName(), "formulaF");
  key(Qt::Key_End);
  type("1");
  EXPECT_EQ(f->text(), "F(x)=3pi*x1");
  EXPECT_EQ(text("xMin"), "0");
}

TEST_F(KeyboardTest, WhatDismissesTheMessageAndWhatLeavesIt) {
  startShown();
  struct Case {
    const char* what;
    std::function<void()> act;
    bool hides;
  };
  MessageWindow& message = window->messageWindow();
  const Case cases[] = {
      {"a press on the panel",
       [&] {
         QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(window->width() - 60, 460));
       },
       true},
      {"a press on the title bar",
       [&] { QTest::mouseClick(find("titleBar"), Qt::LeftButton, {}, QPoint(400, 10)); }, true},
      {"a press on a range field", [&] { QTest::mouseClick(field("xMax"), Qt::LeftButton); }, true},
      {"a press on a toggle's caption", [&] { press("circleCaption", Qt::RightButton); }, true},
      {"Esc in the formula field", [&] { key(Qt::Key_Escape); }, true},
      {"Esc on a command button",
       [&] {
         tabFocus("historyButton");
         key(Qt::Key_Escape);
       },
       true},
      {"OK", [&] { QTest::mouseClick(message.okButton(), Qt::LeftButton); }, true},
      {"the next Draw that succeeds",
       [&] {
         field("formulaF")->setText("F(x)=x");
         key(Qt::Key_Return);
       },
       true},
      {"typing in the field", [&] { type("12"); }, false},
      {"Shift+Esc", [&] { key(Qt::Key_Escape, Qt::ShiftModifier); }, false},
      {"a Draw that fails again", [&] { key(Qt::Key_Return); }, false},
      {"a press on the message itself",
       [&] { QTest::mouseClick(&message, Qt::LeftButton, {}, QPoint(400, 240)); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    field("formulaF")->setFocus();
    failDraw();
    c.act();
    QCoreApplication::processEvents();  // what a press leaves for afterwards
    EXPECT_EQ(message.isVisible(), !c.hides);
    message.hide();
  }
}

// A Draw button press that fails again replaces the lines in place: the
// window is not hidden and centred anew.
TEST_F(KeyboardTest, APressThatFailsAgainKeepsTheMessageWhereItWasDragged) {
  startShown();
  MessageWindow& message = window->messageWindow();
  failDraw();
  QWidget* title = message.titleBar();
  QTest::mousePress(title, Qt::LeftButton, {}, QPoint(100, 10));
  QTest::mouseMove(title, QPoint(130, 30));
  QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(130, 30));
  const QPoint dragged = message.pos();
  drawFormula("F(x)=)x(");
  QCoreApplication::processEvents();
  ASSERT_TRUE(message.isVisible());
  EXPECT_EQ(message.pos(), dragged);
  EXPECT_EQ(message.line(1), "including the number of brackets you have used!");
}

TEST_F(KeyboardTest, EscAndEnterEndTheDialogs) {
  startShown();
  // About: both hide it; the page is not opened.
  for (const Qt::Key k : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
    SCOPED_TRACE(k);
    QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
    auto* about = topLevel<AboutWindow>("aboutWindow");
    ASSERT_TRUE(QTest::qWaitFor([about] { return about->isActiveWindow(); }, kTimeoutMs));
    key(k, k == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    EXPECT_FALSE(about->isVisible());
  }
  EXPECT_TRUE(urls.empty());

  // Settings: Esc keeps what was flipped and skips OK's steps; Enter is OK.
  SettingsDialog* settings = openDialog<SettingsDialog>("settingsButton", "settingsDialog");
  key(Qt::Key_Escape);
  EXPECT_FALSE(settings->isVisible());
  EXPECT_FALSE(fs::exists(folder / "Kurvana.lng"));
  settings = openDialog<SettingsDialog>("settingsButton", "settingsDialog");
  key(Qt::Key_Return);
  EXPECT_FALSE(settings->isVisible());
  EXPECT_TRUE(fs::exists(folder / "Kurvana.lng"));

  // Palette: Esc is its cancel, Enter its OK.
  const Color before = plot().curveColor;
  auto* palette = openDialog<PaletteDialog>("colorPickerCaption", "paletteDialog");
  QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(100, PaletteDialog::kPaletteTop + 40));
  ASSERT_NE(plot().curveColor, before);
  key(Qt::Key_Escape);
  EXPECT_FALSE(palette->isVisible());
  EXPECT_EQ(plot().curveColor, before);
  palette = openDialog<PaletteDialog>("colorPickerCaption", "paletteDialog");
  QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(100, PaletteDialog::kPaletteTop + 40));
  const Color picked = plot().curveColor;
  ASSERT_NE(picked, before);
  key(Qt::Key_Return);
  EXPECT_FALSE(palette->isVisible());
  EXPECT_EQ(plot().curveColor, picked);

  // The message window never holds the keyboard; sent to it, the keys work.
  MessageWindow& message = window->messageWindow();
  for (const Qt::Key k : {Qt::Key_Escape, Qt::Key_Return}) {
    SCOPED_TRACE(k);
    failDraw();
    QTest::keyClick(&message, k);
    EXPECT_FALSE(message.isVisible());
  }
}

TEST_F(KeyboardTest, TabGoesThroughTheFieldsTheButtonsTheTogglesAndThePlot) {
  startShown();
  EXPECT_EQ(focusName(), "xMin");  // the plot, first in the window, waits its turn
  const QStringList controls = {"drawButton",       "clearButton",    "savePictureButton",
                                "historyButton",    "zoomInButton",   "zoomOutButton",
                                "webPageButton",    "settingsButton", "colorPickerPicture",
                                "autoScalePicture", "filledPicture",  "linesPicture",
                                "circlePicture",    "plot"};
  tabFocus("xMin");
  EXPECT_EQ(tabCycle(),
            QStringList({"xMax", "yMin", "yMax", "formulaF"}) + controls + QStringList({"xMin"}));
  EXPECT_EQ(tabCycle(Qt::Key_Backtab).front(), "plot");

  // Automatic scale disables the y fields: Tab passes them.
  press("autoScalePicture");
  drawFormula("F(x)=x");
  ASSERT_FALSE(field("yMin")->isEnabled());
  tabFocus("xMax");
  key(Qt::Key_Tab);
  EXPECT_EQ(focusName(), "formulaF");

  // Two functions: G and the parameter group come after F.
  window.reset();
  startShown(writePairFile().string());
  tabFocus("xMin");
  EXPECT_EQ(tabCycle(), QStringList({"xMax", "yMin", "yMax", "formulaF", "formulaG", "zCount",
                                     "zMin", "zMax"}) +
                            controls + QStringList({"xMin"}));

  // Started with every range field disabled: the keyboard starts in F, not
  // on the plot.
  press("autoScalePicture");
  window->exitProgram();
  window.reset();
  startShown(writePairFile().string());
  ASSERT_FALSE(field("xMin")->isEnabled());
  EXPECT_EQ(focusName(), "formulaF");
}

TEST_F(KeyboardTest, SpaceAndEnterPressTheFocusedControl) {
  writeHistory({"F(x)=x"});
  startShown();
  for (const Qt::Key k : {Qt::Key_Space, Qt::Key_Return}) {
    SCOPED_TRACE(k);
    const QString formula = k == Qt::Key_Space ? "F(x)=x/2" : "F(x)=x/3";
    field("formulaF")->setText(formula);
    tabFocus("drawButton");
    key(k, {}, k == Qt::Key_Space ? " " : "\r");
    EXPECT_EQ(newestHistory(), formula.toStdString());

    const bool filled = find<TogglePicture>("filledPicture")->isShownOn();
    tabFocus("filledPicture");
    key(k);
    EXPECT_NE(find<TogglePicture>("filledPicture")->isShownOn(), filled);
  }
  EXPECT_EQ(field("formulaF")->text(), "F(x)=x/3");  // nothing typed into it

  // The zoom buttons: Shift held chooses y, as with the mouse.
  setRanges("0", "10", "-5", "5");
  drawFormula("F(x)=x");
  tabFocus("zoomInButton");
  key(Qt::Key_Space);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-5", "5"}));
  key(Qt::Key_Space, Qt::ShiftModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "5", "-2.5", "2.5"}));
  tabFocus("zoomOutButton");
  key(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(ranges(), QStringList({"0", "10", "-2.5", "2.5"}));

  // Held down, the key repeats; the button reacts once.
  const QStringList before = ranges();
  QTest::sendKeyEvent(QTest::Press, QGuiApplication::focusWindow(), Qt::Key_Space, " ", {});
  QTest::simulateEvent(QGuiApplication::focusWindow(), true, Qt::Key_Space, {}, " ", true);
  QTest::simulateEvent(QGuiApplication::focusWindow(), false, Qt::Key_Space, {}, " ", false);
  EXPECT_EQ(ranges(), QStringList({"0", "20", "-2.5", "2.5"})) << before.join(' ').toStdString();

  tabFocus("colorPickerPicture");
  key(Qt::Key_Space);
  auto* palette = topLevel<PaletteDialog>("paletteDialog");
  EXPECT_TRUE(QTest::qWaitFor([palette] { return palette->isVisible(); }, kTimeoutMs));
}

// The mark is painted only while the control has the focus; before and
// after, the picture is the one a mouse user sees.
TEST_F(KeyboardTest, TheFocusMarkShowsOnlyWithTheFocus) {
  startShown();
  for (const char* name : {"drawButton", "settingsButton", "circlePicture", "colorPickerPicture"}) {
    SCOPED_TRACE(name);
    QWidget* w = find(name);
    const QImage plain = w->grab().toImage();
    tabFocus(name);
    const QImage marked = w->grab().toImage();
    EXPECT_NE(marked, plain);
    field("formulaF")->setFocus();
    EXPECT_EQ(w->grab().toImage(), plain);
  }
}

TEST_F(KeyboardTest, TabIntoAFormulaFieldSelectsTheFormulaBehindItsLabel) {
  startShown();
  struct Case {
    const char* text;
    const char* selected;
    int cursor;
  };
  const Case cases[] = {
      {"F(x)=x^2", "x^2", 5},
      {"F(x)=", "", 5},
      {"f(x)=sin(x)", "sin(x)", 5},  // the label in any case
      {"x^2", "x^2", 3},             // no label: all of it, as Qt does
      {"F(x)x^2", "F(x)x^2", 7},     // not quite the label
      {"F(x)=F(x)=x", "F(x)=x", 5},  // one label only
  };
  QLineEdit* f = field("formulaF");
  for (const Case& c : cases) {
    for (const Qt::Key tab : {Qt::Key_Tab, Qt::Key_Backtab}) {
      SCOPED_TRACE(std::string(c.text) + (tab == Qt::Key_Tab ? " Tab" : " Backtab"));
      f->setText(c.text);
      tabFocus(tab == Qt::Key_Tab ? "yMax" : "drawButton");
      key(tab, tab == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
      ASSERT_EQ(focusName(), "formulaF");
      EXPECT_EQ(f->selectedText(), c.selected);
      EXPECT_EQ(f->cursorPosition(), c.cursor);
    }
  }

  // Typed over, the label stays and the formula draws.
  f->setText("F(x)=x^2");
  tabFocus("yMax");
  key(Qt::Key_Tab);
  type("sin(x)");
  key(Qt::Key_Return);
  EXPECT_EQ(f->text(), "F(x)=sin(x)");
  EXPECT_EQ(newestHistory(), "F(x)=sin(x)");
  EXPECT_EQ(beeps, 0);

  // A click places the cursor and selects nothing, as before.
  tabFocus("drawButton");
  QTest::mouseClick(f, Qt::LeftButton, {}, QPoint(f->width() - 5, f->height() / 2));
  EXPECT_FALSE(f->hasSelectedText());
  EXPECT_EQ(f->cursorPosition(), f->text().size());

  // G's label in two-function mode.
  window.reset();
  startShown(writePairFile().string());
  tabFocus("formulaF");
  key(Qt::Key_Tab);
  ASSERT_EQ(focusName(), "formulaG");
  EXPECT_EQ(field("formulaG")->selectedText(), "sin(2*x)");
  EXPECT_EQ(field("formulaG")->cursorPosition(), 5);
}

TEST_F(KeyboardTest, ZoomKeysAsUsAndGermanKeyboardsSendThem) {
  startShown();
  constexpr auto kCtrl = Qt::ControlModifier;
  constexpr auto kShift = Qt::ShiftModifier;
  constexpr auto kAlt = Qt::AltModifier;
  constexpr auto kPad = Qt::KeypadModifier;
  const QStringList xIn = {"0", "5", "-5", "5"};
  const QStringList xOut = {"0", "20", "-5", "5"};
  const QStringList yIn = {"0", "10", "-2.5", "2.5"};
  const QStringList yOut = {"0", "10", "-10", "10"};
  const QStringList none = {"0", "10", "-5", "5"};
  struct Case {
    const char* keyboard;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* text;
    QStringList ranges;
  };
  const Case cases[] = {
      {"US Ctrl+=", Qt::Key_Equal, kCtrl, "=", xIn},
      {"US Ctrl++ (Ctrl+Shift+=)", Qt::Key_Plus, kCtrl | kShift, "+", xIn},
      {"US Ctrl+-", Qt::Key_Minus, kCtrl, "-", xOut},
      {"US Ctrl+Shift+- (Ctrl+_)", Qt::Key_Underscore, kCtrl | kShift, "_", xOut},
      {"German Ctrl++", Qt::Key_Plus, kCtrl, "+", xIn},
      {"German Ctrl+= (Ctrl+Shift+0)", Qt::Key_Equal, kCtrl | kShift, "=", xIn},
      {"German Ctrl+-", Qt::Key_Minus, kCtrl, "-", xOut},
      {"keypad Ctrl++", Qt::Key_Plus, kCtrl | kPad, "+", xIn},
      {"keypad Ctrl+-", Qt::Key_Minus, kCtrl | kPad, "-", xOut},
      {"US Ctrl+Alt+=", Qt::Key_Equal, kCtrl | kAlt, "=", yIn},
      {"US Ctrl+Alt++ (Ctrl+Alt+Shift+=)", Qt::Key_Plus, kCtrl | kAlt | kShift, "+", yIn},
      {"US Ctrl+Alt+-", Qt::Key_Minus, kCtrl | kAlt, "-", yOut},
      {"US Ctrl+Alt+_", Qt::Key_Underscore, kCtrl | kAlt | kShift, "_", yOut},
      {"German Ctrl+Alt++", Qt::Key_Plus, kCtrl | kAlt, "+", yIn},
      {"keypad Ctrl+Alt++", Qt::Key_Plus, kCtrl | kAlt | kPad, "+", yIn},
      {"keypad Ctrl+Alt+-", Qt::Key_Minus, kCtrl | kAlt | kPad, "-", yOut},
      // Typing, not zooming.
      {"+ typed", Qt::Key_Plus, kShift, "+", none},
      {"keypad + typed", Qt::Key_Plus, kPad, "+", none},
      {"German * (Ctrl+Shift++)", Qt::Key_Asterisk, kCtrl | kShift, "*", none},
      {"Alt+=", Qt::Key_Equal, kAlt, "=", none},
  };
  for (const char* focus : {"formulaF", "xMax", "zoomOutButton"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.keyboard) + " in " + focus);
      setRanges("0", "10", "-5", "5");
      drawFormula("F(x)=x");
      field("formulaF")->setText("F(x)=x");
      tabFocus(focus);
      if (auto* edit = qobject_cast<QLineEdit*>(find(focus))) edit->end(false);
      const QString before = field(focus == std::string("xMax") ? "xMax" : "formulaF")->text();
      key(c.key, c.modifiers, c.text);
      const bool zooms = c.ranges != none;
      if (zooms) {
        EXPECT_EQ(ranges(), c.ranges);
        EXPECT_EQ(field("formulaF")->text(), "F(x)=x");  // nothing typed
      } else if (focus == std::string("formulaF")) {
        EXPECT_EQ(ranges(), none);
        // What Qt's field does with it; Alt+= types nothing.
        EXPECT_TRUE(field("formulaF")->text() == before + c.text ||
                    field("formulaF")->text() == before)
            << field("formulaF")->text().toStdString();
      }
    }
  }
}

TEST_F(KeyboardTest, RangeFieldsShowTheStartOfALongNumber) {
  const fs::path file = root / "tiny.kv1";
  writeFunctionFile(file, "F(x)=x", "-1.04572E-21", "2.5", "-123456789.123456", "5");
  startShown(file.string());
  const auto startShows = [](QLineEdit* f) {
    f->grab();  // the field works out its scroll as it paints
    return f->cursorPosition() == 0 && f->cursorPositionAt(QPoint(3, f->height() / 2)) == 0;
  };
  for (const char* name : {"xMin", "yMin"}) {
    SCOPED_TRACE(name);
    QLineEdit* f = field(name);
    EXPECT_TRUE(startShows(f));
    EXPECT_EQ(f->toolTip(), f->text());
  }
  EXPECT_EQ(text("xMin"), "-1.04572E-21");
  EXPECT_EQ(field("xMax")->toolTip(), "");

  // Left by Tab or a click elsewhere, the cursor goes home; another window
  // or the field's menu leave it where it was.
  QLineEdit* f = field("xMin");
  tabFocus("xMin");
  f->end(false);
  key(Qt::Key_Tab);
  EXPECT_TRUE(startShows(f));
  tabFocus("xMin");
  f->end(false);
  QTest::mouseClick(field("formulaF"), Qt::LeftButton);
  EXPECT_TRUE(startShows(f));
  tabFocus("xMin");
  f->end(false);
  QWidget elsewhere;
  elsewhere.show();
  elsewhere.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere, kTimeoutMs));
  EXPECT_EQ(f->cursorPosition(), f->text().size());
}

// The tool tip holds the value exactly when the field has to scroll to show
// its end: growing the number one digit at a time crosses that edge once.
TEST_F(KeyboardTest, TheToolTipComesWhenTheNumberNoLongerFits) {
  startShown();
  auto* f = find<RangeField>("xMin");
  QString number = "-1.";
  bool crossed = false;
  for (int digits = 1; digits <= 24; ++digits) {
    number += QChar('0' + digits % 10);
    SCOPED_TRACE(number.toStdString());
    f->setText(number);
    f->end(false);
    f->grab();
    const bool scrolled = f->cursorPositionAt(QPoint(3, f->height() / 2)) > 0;
    EXPECT_EQ(f->textOverflows(), scrolled);
    EXPECT_EQ(f->toolTip(), scrolled ? number : QString());
    crossed = crossed || scrolled;
  }
  EXPECT_TRUE(crossed);
}

TEST_F(KeyboardTest, SettingsTabReachesEveryToggleTheListAndOk) {
  startShown();
  SettingsDialog* settings = openDialog<SettingsDialog>("settingsButton", "settingsDialog");
  // The dialog itself holds the keyboard: no control shows a mark, and no
  // list is left to pop up.
  EXPECT_EQ(QApplication::focusWidget(), settings);
  EXPECT_EQ(settings->findChildren<QComboBox*>().size(), 1);
  key(Qt::Key_Space);
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

  const QStringList toggles = {"twoFunctionsPicture", "antialiasPicture",    "thickPicture",
                               "whiteBackPicture",    "darkNegativePicture", "polarPicture",
                               "gridPicture",         "axesPicture",         "reportPicture",
                               "languagePicture"};
  EXPECT_EQ(tabCycle(), toggles + QStringList({"okButton", "twoFunctionsPicture"}));

  // Space flips the language toggle; the list it enables joins the order.
  while (focusName() != "languagePicture") key(Qt::Key_Tab);
  key(Qt::Key_Space);
  ASSERT_TRUE(isOn(plot().optLanguage));
  key(Qt::Key_Tab);
  EXPECT_EQ(focusName(), "languageList");
  key(Qt::Key_Tab);
  EXPECT_EQ(focusName(), "okButton");
  key(Qt::Key_Space);
  EXPECT_FALSE(settings->isVisible());
  EXPECT_TRUE(fs::exists(folder / "Kurvana.lng"));

  // Shown again, the dialog starts without a mark.
  settings = openDialog<SettingsDialog>("settingsButton", "settingsDialog");
  EXPECT_EQ(QApplication::focusWidget(), settings);
}

TEST_F(KeyboardTest, PaletteAndAboutTabReachTheirControls) {
  startShown();
  auto* palette = openDialog<PaletteDialog>("colorPickerCaption", "paletteDialog");
  EXPECT_EQ(QApplication::focusWidget(), palette);
  EXPECT_EQ(tabCycle(), QStringList({"okButton", "cancelButton", "okButton"}));
  key(Qt::Key_Escape);

  QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
  auto* about = topLevel<AboutWindow>("aboutWindow");
  ASSERT_TRUE(QTest::qWaitFor([about] { return about->isActiveWindow(); }, kTimeoutMs));
  EXPECT_EQ(QApplication::focusWidget(), about);
  key(Qt::Key_Tab);
  ASSERT_EQ(focusName(), "productLink");
  key(Qt::Key_Space);
  ASSERT_EQ(urls.size(), 1u);
  EXPECT_EQ(urls[0], QUrl("https://www.talvoren.example/kurvana.htm"));
  EXPECT_FALSE(about->isVisible());
}

}  // namespace
}  // namespace kurvana::ui
