// The shipped language files and catalogues installed beside a pretend
// executable, and the settings dialog driving the choice between them.
#pragma once

#include <sys/stat.h>

#include <QAccessible>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QRegularExpression>
#include <set>

#include "ui/about_window.h"
#include "ui/chrome_widgets.h"
#include "ui/local_http_server.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {

inline const fs::path kAssets = KURVANA_ASSETS_DIR;
inline const fs::path kCatalogues = KURVANA_QM_DIR;

class LanguagesTest : public WindowTest {
 protected:
  fs::path bin() const { return root / "bin"; }
  fs::path share() const { return root / "share/kurvana"; }

  void install(const char* file, const fs::path& to) {
    fs::create_directories(to);
    fs::copy_file(kAssets / file, to / file, fs::copy_options::overwrite_existing);
  }
  // The shipped German file with one text replaced, written as `to`.
  void installGermanWith(const QString& shipped, const QString& replacement, const fs::path& to) {
    const std::string bytes = slurp(kAssets / "lang_de.txt");
    QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2),
                                      static_cast<qsizetype>(bytes.size() / 2 - 1));
    ASSERT_TRUE(text.contains(shipped));
    text.replace(shipped, replacement);
    writeFile(to, utf16(text));
  }
  // A settings record with "Program language" on, and the chosen language.
  void saveChoice(const QString& language, bool optionOn = true) {
    PlotState stored;
    stored.optLanguage = optionOn ? flagOn : flagOff;
    fs::create_directories(folder);
    ASSERT_EQ(writeSettings(folder / "Kurvana.ini", stored, WindowExtent{}).message(), "");
    writeFile(folder / "Kurvana.lng", utf16(language + "\r\n"));
  }

  SettingsDialog* settings() { return topLevel<SettingsDialog>("settingsDialog"); }
  QComboBox* languageList() { return childOf<QComboBox>(settings(), "languageList"); }

  // Through the dialog: "Program language" on, the item chosen with the
  // keyboard, the other toggles pressed, OK.
  void choose(const QString& language, const std::vector<const char*>& toggles = {}) {
    press("settingsButton");
    SettingsDialog* d = settings();
    ASSERT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
    if (plot().optLanguage != flagOn)
      QTest::mouseClick(childOf(d, "languagePicture"), Qt::LeftButton);
    QComboBox* list = languageList();
    const int index = list->findText(language);
    ASSERT_GT(index, 0);
    while (list->currentIndex() < index) QTest::keyClick(list, Qt::Key_Down);
    while (list->currentIndex() > index) QTest::keyClick(list, Qt::Key_Up);
    for (const char* toggle : toggles) QTest::mouseClick(childOf(d, toggle), Qt::LeftButton);
    QTest::mouseClick(childOf(d, "okButton"), Qt::LeftButton);
    ASSERT_FALSE(d->isVisible());
  }

  QStringList mainCaptions() {
    return {text("colorPickerCaption"), text("autoScaleCaption"), text("filledCaption"),
            text("linesCaption"), text("circleCaption")};
  }
  QStringList settingsTexts() {
    SettingsDialog* d = settings();
    QStringList texts = {d->title()};
    for (const char* name : {"twoFunctions", "antialias", "thick", "whiteBack", "darkNegative",
                             "polar", "grid", "axes", "report", "language"}) {
      texts << childOf<QLabel>(d, (std::string(name) + "Caption").c_str())->text();
    }
    return texts;
  }
  // The palette's, the message window's and the about window's titles.
  QStringList titles() {
    return {topLevel<PaletteDialog>("paletteDialog")->title(), window->messageWindow().title(),
            topLevel<AboutWindow>("aboutWindow")->title()};
  }
};

class WindowCataloguesTest : public LanguagesTest {
 protected:
  void installCatalogue(const char* file, const fs::path& to) {
    fs::create_directories(to);
    fs::copy_file(kCatalogues / file, to / file, fs::copy_options::overwrite_existing);
  }
  void installAll() {
    for (const char* file : {"lang_de.txt", "lang_fr.txt"}) install(file, bin());
    for (const char* file : {"kurvana_de.qm", "kurvana_fr.qm"}) installCatalogue(file, bin());
  }
  // A settings record for two-function mode, so that every field shows and
  // may be edited (no automatic scale), with the language option as given.
  void saveTwoFunctionMode(bool languageOn = false) {
    PlotState stored;
    stored.optTwoFunctions = flagOn;
    stored.optAutoScale = flagOff;
    stored.optLanguage = languageOn ? flagOn : flagOff;
    fs::create_directories(folder);
    ASSERT_EQ(writeSettings(folder / "Kurvana.ini", stored, WindowExtent{}).message(), "");
  }

  // Through the dialog, "Program language" on, English (item 0) included.
  void switchTo(const QString& language) {
    press("settingsButton");
    SettingsDialog* d = settings();
    ASSERT_TRUE(QTest::qWaitFor([d] { return d->isVisible(); }, kTimeoutMs));
    if (plot().optLanguage != flagOn)
      QTest::mouseClick(childOf(d, "languagePicture"), Qt::LeftButton);
    QComboBox* list = languageList();
    const int index = list->findText(language);
    ASSERT_GE(index, 0) << language.toStdString();
    list->setCurrentIndex(index);
    QTest::mouseClick(childOf(d, "okButton"), Qt::LeftButton);
    ASSERT_FALSE(d->isVisible());
  }

  static QStringList itemTexts(QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions()) {
      if (!a->isSeparator()) texts << a->text();
    }
    return texts;
  }

  // A field's menu as a right click opens it (nothing for a field that
  // does not take one); closed again.
  QStringList fieldMenuTexts(const char* name) {
    QLineEdit* edit = field(name);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            edit->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(edit, &click);
    QMenu* menu = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == "fieldMenu" && w->isVisible()) menu = qobject_cast<QMenu*>(w);
    }
    if (menu == nullptr) return {};
    const QStringList texts = itemTexts(menu);
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return texts;
  }

  // The small windows and the main window, by name.
  std::vector<std::pair<std::string, QWidget*>> windows() {
    return {{"main", window.get()},
            {"settings", settings()},
            {"palette", topLevel<PaletteDialog>("paletteDialog")},
            {"about", topLevel<AboutWindow>("aboutWindow")},
            {"message", &window->messageWindow()}};
  }

  static constexpr const char* kFieldNames[] = {"xMin", "xMax", "yMin",     "yMax",    "zCount",
                                                "zMin", "zMax", "formulaF", "formulaG"};

  // Every text the window shows or names from the catalogue, by where it is:
  // the plot's menu, each field's menu, the tool tips, the accessible names,
  // and the file dialogs' titles and filters.
  std::map<std::string, QString> catalogueTexts() {
    std::map<std::string, QString> texts;
    const QStringList plotItems = itemTexts(find<QMenu>("plotMenu"));
    for (qsizetype i = 0; i < plotItems.size(); ++i) {
      texts["plot menu " + std::to_string(i)] = plotItems[i];
    }
    for (const char* name : kFieldNames) {
      const QStringList items = fieldMenuTexts(name);
      EXPECT_EQ(items.size(), 7) << name << ": " << items.join(", ").toStdString();
      for (qsizetype i = 0; i < items.size(); ++i) {
        texts["field menu " + std::string(name) + " " + std::to_string(i)] = items[i];
      }
    }
    for (const auto& [windowName, w] : windows()) {
      // By object name, else by the widget itself (the same all along);
      // widgets without a name or tip (Qt's own parts of a control) say nothing.
      for (QWidget* c : w->findChildren<QWidget*>()) {
        const std::string where =
            windowName + " " +
            (c->objectName().isEmpty()
                 ? QString("@%1").arg(reinterpret_cast<quintptr>(c), 0, 16).toStdString()
                 : c->objectName().toStdString());
        if (!c->toolTip().isEmpty()) texts["tip " + where] = c->toolTip();
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(c);
        if (a != nullptr && !a->text(QAccessible::Name).isEmpty()) {
          texts["name " + where] = a->text(QAccessible::Name);
        }
      }
      if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w)) {
        texts["name " + windowName] = a->text(QAccessible::Name);
      }
    }
    // The three file dialogs, cancelled: through the plot's menu.
    requests.clear();
    QList<QAction*> actions = find<QMenu>("plotMenu")->actions();
    actions.removeIf([](QAction* a) { return a->isSeparator(); });
    for (int item : {0, 3, 4}) actions[item]->trigger();  // save picture, load, save function
    EXPECT_EQ(requests.size(), 3u);
    for (std::size_t i = 0; i < requests.size(); ++i) {
      const std::string where = "dialog " + std::to_string(i);
      texts[where + " title"] = requests[i].title;
      for (qsizetype f = 0; f < requests[i].filters.size(); ++f) {
        texts[where + " filter " + std::to_string(f)] = requests[i].filters[f];
      }
    }
    return texts;
  }

  // The places whose texts differ, or that only one of the two has.
  static std::string differences(const std::map<std::string, QString>& a,
                                 const std::map<std::string, QString>& b) {
    std::string out;
    for (const auto& [where, text] : a) {
      const auto other = b.find(where);
      if (other == b.end()) {
        out += "\n  only before: " + where + " = " + text.toStdString();
      } else if (other->second != text) {
        out += "\n  " + where + ": " + text.toStdString() + " / " + other->second.toStdString();
      }
    }
    for (const auto& [where, text] : b) {
      if (!a.contains(where)) out += "\n  only after: " + where + " = " + text.toStdString();
    }
    return out;
  }

  // Names and captions that are the same in English, German and French:
  // the product, OK, the formula and range captions, values.
  static bool languageNeutral(const QString& text) {
    static const std::set<QString> kSame = {"",      "OK",    "Kurvana", "Kurvana 1.0", "x min",
                                            "x max", "y min", "y max",   "Z",           "z min",
                                            "z max", "F(x)",  "G(x)",    "F'(x)",       "x",
                                            "X, Y",  "=",     "Fdx",     "\u222B"};
    if (kSame.contains(text) || text.startsWith("https://")) return true;
    // A readout: its caption and its value; the palette's components.
    static const QRegularExpression kValue(
        "^((x|F\\(x\\)|F'\\(x\\)|G\\(x\\)|X, Y) )?= .*$|^[RB] = \\d+$|^\\d+$");
    return kValue.match(text).hasMatch();
  }
};

}  // namespace kurvana::ui
