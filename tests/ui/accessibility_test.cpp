// What a screen reader finds, asked in-process through Qt's accessibility
// interfaces: every control of the main window, the settings dialog, the
// palette, the about window and the message window with its role, name,
// checked state and actions, each action done; the names following the
// interface language.
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QComboBox>
#include <functional>

#include "ui/about_window.h"
#include "ui/chrome_widgets.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

const fs::path kAssets = KURVANA_ASSETS_DIR;
const QString kPress = QAccessibleActionInterface::pressAction();
const QString kToggle = QAccessibleActionInterface::toggleAction();

std::string roleName(QAccessible::Role role) {
  switch (role) {
    case QAccessible::Button:
      return "button";
    case QAccessible::CheckBox:
      return "check box";
    case QAccessible::EditableText:
      return "editable text";
    case QAccessible::StaticText:
      return "static text";
    case QAccessible::ComboBox:
      return "combo box";
    case QAccessible::Link:
      return "link";
    case QAccessible::Dialog:
      return "dialog";
    case QAccessible::AlertMessage:
      return "alert";
    case QAccessible::Window:
      return "window";
    default:
      return "role " + std::to_string(static_cast<int>(role));
  }
}

class AccessibilityTest : public WindowTest {
 protected:
  // One control as a screen reader should see it. `checked` only for check
  // boxes; `action` empty for controls without one; `done` tells that the
  // action took effect (null: not done here).
  struct Control {
    std::string object;
    QAccessible::Role role;
    QString name;
    std::optional<bool> checked = std::nullopt;
    QString action = QString();
    std::function<bool()> done = nullptr;
  };

  static QAccessibleInterface* interfaceOf(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget);
  }

  // Checks each control in `parent` (its child by object name, or the window
  // itself when the name is its own) and does its action.
  void check(QWidget* parent, const std::vector<Control>& controls) {
    for (const Control& c : controls) {
      SCOPED_TRACE(c.object + " in " + parent->objectName().toStdString());
      QWidget* w = parent->objectName().toStdString() == c.object
                       ? parent
                       : childOf(parent, c.object.c_str());
      ASSERT_NE(w, nullptr);
      QAccessibleInterface* a = interfaceOf(w);
      ASSERT_NE(a, nullptr);
      EXPECT_EQ(roleName(a->role()), roleName(c.role));
      EXPECT_EQ(a->text(QAccessible::Name), c.name);
      const QAccessible::State state = a->state();
      EXPECT_EQ(bool(state.checkable), c.checked.has_value());
      if (c.checked) {
        EXPECT_EQ(bool(state.checked), *c.checked);
      }
      QAccessibleActionInterface* actions = a->actionInterface();
      if (c.action.isEmpty()) {
        EXPECT_TRUE(actions == nullptr || !actions->actionNames().contains(kPress));
        EXPECT_TRUE(actions == nullptr || !actions->actionNames().contains(kToggle));
        continue;
      }
      ASSERT_NE(actions, nullptr);
      EXPECT_EQ(actions->actionNames().value(0), c.action);
      if (!c.done) continue;
      actions->doAction(c.action);
      EXPECT_TRUE(QTest::qWaitFor(c.done, kTimeoutMs)) << "the action did nothing";
      if (c.checked) {
        EXPECT_EQ(bool(a->state().checked), !*c.checked);
      }
    }
  }

  QStringList ranges() { return {text("xMin"), text("xMax"), text("yMin"), text("yMax")}; }
  bool shown(QWidget* w) { return w->isVisible(); }
  TogglePicture* picture(QWidget* parent, const char* name) {
    return childOf<TogglePicture>(parent, name);
  }
};

TEST_F(AccessibilityTest, EveryControlOfTheMainWindow) {
  writeHistory({"F(x)=x/7", "F(x)=x"});
  startShown();
  field("formulaF")->setText("F(x)=x/3");
  QWidget* main = window.get();
  main->setObjectName("mainWindow");
  auto* settings = topLevel<SettingsDialog>("settingsDialog");
  auto* palette = topLevel<PaletteDialog>("paletteDialog");
  auto* about = topLevel<AboutWindow>("aboutWindow");
  const auto filled = [this] { return find<TogglePicture>("filledPicture")->isShownOn(); };
  const auto circle = [this] { return find<TogglePicture>("circlePicture")->isShownOn(); };
  const auto lines = [this] { return find<TogglePicture>("linesPicture")->isShownOn(); };
  const auto autoScale = [this] { return find<TogglePicture>("autoScalePicture")->isShownOn(); };
  const std::vector<Control> controls = {
      {"mainWindow", QAccessible::Window, "Kurvana"},
      {"drawButton",
       QAccessible::Button,
       "Draw",
       {},
       kPress,
       [this] { return slurp(folder / "Kurvana.lst").substr(0, 10) == "F(x)=x/3\r\n"; }},
      {"historyButton",
       QAccessible::Button,
       "Previous formula",
       {},
       kPress,
       [this] { return text("formulaF") != "F(x)=x/3"; }},
      {"zoomInButton",
       QAccessible::Button,
       "Zoom in",
       {},
       kPress,
       [this] {
         return ranges() == QStringList({"0", "5", "-5", "5"});
       }},
      {"zoomOutButton",
       QAccessible::Button,
       "Zoom out",
       {},
       kPress,
       [this] {
         return ranges() == QStringList({"0", "10", "-5", "5"});
       }},
      {"savePictureButton",
       QAccessible::Button,
       "Save picture",
       {},
       kPress,
       [this] { return requests.size() == 1; }},
      {"clearButton",
       QAccessible::Button,
       "Clear picture",
       {},
       kPress,
       [this] { return !plotValid(); }},
      {"webPageButton",
       QAccessible::Button,
       "Web page",
       {},
       kPress,
       [this] { return urls.size() == 1; }},
      {"settingsButton",
       QAccessible::Button,
       "Settings",
       {},
       kPress,
       [&] { return shown(settings); }},
      {"colorPickerPicture",
       QAccessible::Button,
       "Color picker",
       {},
       kPress,
       [&] { return shown(palette); }},
      {"titleIcon",
       QAccessible::Button,
       "About this utility",
       {},
       kPress,
       [&] { return shown(about); }},
      {"autoScalePicture", QAccessible::CheckBox, "Automatic scale", false, kToggle, autoScale},
      {"filledPicture", QAccessible::CheckBox, "Filled graphic", false, kToggle, filled},
      {"linesPicture", QAccessible::CheckBox, "Line drawing", false, kToggle, lines},
      {"circlePicture", QAccessible::CheckBox, "Show circle", false, kToggle, circle},
      {"circlePicture", QAccessible::CheckBox, "Show circle", true, kToggle,
       [&] { return !circle(); }},
      {"xMin", QAccessible::EditableText, "x min"},
      {"xMax", QAccessible::EditableText, "x max"},
      {"yMin", QAccessible::EditableText, "y min"},
      {"yMax", QAccessible::EditableText, "y max"},
      {"formulaF", QAccessible::EditableText, "F(x)"},
      {"formulaG", QAccessible::EditableText, "G(x)"},
      {"zCount", QAccessible::EditableText, "Z"},
      {"zMin", QAccessible::EditableText, "z min"},
      {"zMax", QAccessible::EditableText, "z max"},
      {"minimiseButton",
       QAccessible::Button,
       "Minimise",
       {},
       kPress,
       [&] { return main->isMinimized(); }},
      {"maximiseButton", QAccessible::Button, "Maximise", {}, kPress},
      {"closeButton", QAccessible::Button, "Close", {}, kPress, [this] { return quits == 1; }},
  };
  check(main, controls);

  // The readouts: their caption and the value they show now.
  const std::pair<const char*, QString> readouts[] = {{"readoutX", "x"},
                                                      {"readoutF", "F(x)"},
                                                      {"readoutThird", "F'(x)"},
                                                      {"integral", "Integral"},
                                                      {"plotSize", "X, Y"}};
  for (const auto& [name, caption] : readouts) {
    SCOPED_TRACE(name);
    QAccessibleInterface* a = interfaceOf(find(name));
    EXPECT_EQ(roleName(a->role()), "static text");
    EXPECT_EQ(a->text(QAccessible::Name), caption + " " + text(name));
    EXPECT_TRUE(text(name).startsWith("= ")) << text(name).toStdString();
  }
}

// In two-function mode the third readout reads G.
TEST_F(AccessibilityTest, TheThirdReadoutIsNamedForTheMode) {
  const fs::path pair = root / "pair.kv2";
  writeFile(pair,
            "F(x)=cos(x)\r\nG(x)=sin(2*x)\r\npolar = false\r\nx min = -2\r\nx max = 2\r\n"
            "y min = -2\r\ny max = 2\r\nZaxis = 200\r\nz min = 0\r\nz max = 6.3\r\n");
  startShown(pair.string());
  EXPECT_EQ(interfaceOf(find("readoutThird"))->text(QAccessible::Name),
            "G(x) " + text("readoutThird"));
}

// The caption button's name follows its picture, whoever changes it.
TEST_F(AccessibilityTest, TheMaximiseButtonIsNamedByItsGlyph) {
  startShown();
  auto* button = find<RoundButton>("maximiseButton");
  QAccessibleInterface* a = interfaceOf(button);
  ASSERT_EQ(a->text(QAccessible::Name), "Maximise");
  button->setGlyph(Glyph::kRestore);
  EXPECT_EQ(a->text(QAccessible::Name), "Restore");
  button->setGlyph(Glyph::kMaximise);
  EXPECT_EQ(a->text(QAccessible::Name), "Maximise");
}

TEST_F(AccessibilityTest, TheSettingsDialogsOptionsListAndOk) {
  startShown();
  press("settingsButton");
  auto* d = topLevel<SettingsDialog>("settingsDialog");
  ASSERT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
  struct Option {
    const char* name;
    const char* caption;
    std::uint8_t PlotState::*flag;
  };
  const Option options[] = {
      {"twoFunctions", "Parametric functions", &PlotState::optTwoFunctions},
      {"antialias", "Antialiased line drawing", &PlotState::optAntialias},
      {"thick", "Thick lines and dots", &PlotState::optThick},
      {"whiteBack", "White background", &PlotState::optWhiteBack},
      {"darkNegative", "Darker negative", &PlotState::optDarkNegative},
      {"polar", "Polar coordinates", &PlotState::optPolar},
      {"grid", "Show grid", &PlotState::optGrid},
      {"axes", "Show XY axes", &PlotState::optAxes},
      {"report", "Generate report", &PlotState::optReport},
      {"language", "Program language", &PlotState::optLanguage},
  };
  std::vector<Control> controls = {{"settingsDialog", QAccessible::Dialog, "Settings"},
                                   {"languageList",
                                    QAccessible::ComboBox,
                                    "English",
                                    {},
                                    QAccessibleActionInterface::showMenuAction()}};
  for (const Option& o : options) {
    const bool on = isOn(plot().*o.flag);
    controls.push_back({std::string(o.name) + "Picture", QAccessible::CheckBox, o.caption, on,
                        kToggle, [this, o, on] { return isOn(plot().*o.flag) != on; }});
  }
  controls.push_back(
      {"okButton", QAccessible::Button, "OK", {}, kPress, [d] { return !d->isVisible(); }});
  check(d, controls);

  // On Linux a list is named by its value and labelled by its caption.
  QAccessibleInterface* list = interfaceOf(childOf(d, "languageList"));
  const auto labels = list->relations(QAccessible::Label);
  ASSERT_EQ(labels.size(), 1);
  EXPECT_EQ(labels[0].first->text(QAccessible::Name), "Program language");
}

TEST_F(AccessibilityTest, ThePaletteTheAboutWindowAndTheMessage) {
  startShown();
  press("colorPickerCaption");
  auto* palette = topLevel<PaletteDialog>("paletteDialog");
  ASSERT_TRUE(QTest::qWaitFor([palette] { return palette->isVisible(); }, kTimeoutMs));
  check(palette, {{"paletteDialog", QAccessible::Dialog, "Color palette"},
                  {"red", QAccessible::StaticText, palette->componentText(0)},
                  {"green", QAccessible::StaticText, palette->componentText(1)},
                  {"blue", QAccessible::StaticText, palette->componentText(2)},
                  {"cancelButton", QAccessible::Button, "Cancel", {}, kPress, [palette] {
                     return !palette->isVisible();
                   }}});
  press("colorPickerCaption");
  ASSERT_TRUE(QTest::qWaitFor([palette] { return palette->isVisible(); }, kTimeoutMs));
  check(palette, {{"okButton", QAccessible::Button, "OK", {}, kPress, [palette] {
                     return !palette->isVisible();
                   }}});

  QTest::mouseClick(find("titleIcon"), Qt::LeftButton);
  auto* about = topLevel<AboutWindow>("aboutWindow");
  ASSERT_TRUE(QTest::qWaitFor([about] { return about->isVisible(); }, kTimeoutMs));
  check(about, {{"aboutWindow", QAccessible::Dialog, "About this utility"},
                {"productLink", QAccessible::Link, "Kurvana 1.0", {}, kPress, [this] {
                   return urls.size() == 1;
                 }}});
  EXPECT_FALSE(about->isVisible());

  drawFormula("F(x)=2pi*x");
  MessageWindow& message = window->messageWindow();
  ASSERT_TRUE(waitForMessage());
  const QString lines = messageLines()[0] + "\n" + messageLines()[1] + "\n" + messageLines()[2];
  check(
      &message,
      {{"messageWindow", QAccessible::AlertMessage, lines},
       {"okButton", QAccessible::Button, "OK", {}, kPress, [&] { return !message.isVisible(); }}});

  // A new message renames the alert.
  drawFormula("F(x)=)x(");
  EXPECT_TRUE(interfaceOf(&message)->text(QAccessible::Name).contains("brackets"));
}

// Captions come from the interface texts: applied, a language renames the
// toggles, the swatch, the settings button, the option check boxes and the
// dialogs; names without a text of their own stay English.
TEST_F(AccessibilityTest, NamesFollowTheInterfaceLanguage) {
  fs::create_directories(root / "bin");
  fs::copy_file(kAssets / "lang_de.txt", root / "bin/lang_de.txt");
  startShown();
  press("settingsButton");
  auto* d = topLevel<SettingsDialog>("settingsDialog");
  ASSERT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
  QTest::mouseClick(childOf(d, "languagePicture"), Qt::LeftButton);
  QComboBox* list = childOf<QComboBox>(d, "languageList");
  while (list->currentText() != "Deutsch" && list->currentIndex() + 1 < list->count()) {
    QTest::keyClick(list, Qt::Key_Down);
  }
  ASSERT_EQ(list->currentText(), "Deutsch");
  QTest::mouseClick(childOf(d, "okButton"), Qt::LeftButton);
  ASSERT_EQ(text("filledCaption"), " Gefüllte Grafik");

  const auto nameOf = [](QWidget* w) { return interfaceOf(w)->text(QAccessible::Name); };
  EXPECT_EQ(nameOf(find("filledPicture")), "Gefüllte Grafik");
  EXPECT_EQ(nameOf(find("colorPickerPicture")), "Farbauswahl");
  EXPECT_EQ(nameOf(find("settingsButton")), "Einstellungen");
  EXPECT_EQ(nameOf(find("drawButton")), "Draw");
  EXPECT_EQ(nameOf(d), "Einstellungen");
  EXPECT_EQ(nameOf(childOf(d, "gridPicture")), "Gitter anzeigen");
  EXPECT_EQ(interfaceOf(childOf(d, "languageList"))
                ->relations(QAccessible::Label)
                .value(0)
                .first->text(QAccessible::Name),
            "Programmsprache");
  EXPECT_EQ(nameOf(topLevel<PaletteDialog>("paletteDialog")), "Farbpalette");
  EXPECT_EQ(nameOf(find("titleIcon")), topLevel<AboutWindow>("aboutWindow")->title());
  EXPECT_NE(nameOf(find("titleIcon")), "About this utility");
}

}  // namespace
}  // namespace kurvana::ui
