// Interface languages on screen: the shipped translations placed beside a
// pretend executable, chosen in the settings dialog, reach every caption,
// title, message line and report word; the choice survives a restart; equal
// names, a file removed after start, the option switched off, an unreadable
// choice file and a caption longer than its label.
#include <QComboBox>

#include "ui/about_window.h"
#include "ui/palette_dialog.h"
#include "ui/settings_dialog.h"
#include "ui/window_fixture.h"

namespace kurvana::ui {
namespace {

const fs::path kAssets = KURVANA_ASSETS_DIR;

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
    ASSERT_EQ(writeSettings(folder / "Kurvana.ini", stored, WindowExtent{}), "");
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

const QStringList kEnglishCaptions = {" Color picker", " Automatic scale", " Filled graphic",
                                      " Line drawing", " Show circle"};
const QStringList kGermanCaptions = {" Farbauswahl", " Automatische Skalierung", " Gefüllte Grafik",
                                     " Liniendarstellung", " Kreis anzeigen"};

TEST_F(LanguagesTest, GermanSwitchesEveryTextAndSurvivesARestart) {
  install("lang_de.txt", bin());
  startShown();
  ASSERT_EQ(mainCaptions(), kEnglishCaptions);
  ASSERT_EQ(titles(), QStringList({"Color palette", "Error message", "About this utility"}));
  choose("Deutsch", {"reportPicture"});
  EXPECT_EQ(slurp(folder / "Kurvana.lng"), utf16("Deutsch\r\n"));

  EXPECT_EQ(mainCaptions(), kGermanCaptions);
  EXPECT_EQ(settingsTexts(),
            QStringList({"Einstellungen", "Parameterfunktionen", "Kantengeglättete Linien",
                         "Dicke Linien und Punkte", "Weißer Hintergrund", "Negative Werte dunkler",
                         "Polarkoordinaten", "Gitter anzeigen", "XY-Achsen anzeigen",
                         "Bericht erstellen", "Programmsprache"}));
  EXPECT_EQ(titles(), QStringList({"Farbpalette", "Fehlermeldung", "Über dieses Programm"}));

  drawFormula("F(x)=2pi*x");
  EXPECT_EQ(messageLines(),
            std::vector<QString>({"Bitte prüfen Sie die Syntax der Funktion F(x)",
                                  "oder die Liste der unterstützten Funktionen!",
                                  "Groß- und Kleinschreibung spielt in Formeln keine Rolle."}));
  field("xMin")->setText("5");
  field("xMax")->setText("1");
  drawFormula("F(x)=x");
  EXPECT_EQ(messageLines(),
            std::vector<QString>({"Der Minimalwert des Funktionsarguments",
                                  "muss kleiner als der Maximalwert sein!",
                                  "Korrigieren Sie den Bereich und versuchen Sie es erneut."}));
  field("xMin")->setText("0");
  field("xMax")->setText("10");
  drawFormula("F(x)=x-4");
  const std::string report = slurp(folder / "kvreport.txt");
  EXPECT_EQ(report.rfind("Funktionsformel:\r\nF(x)=x-4\r\n", 0), 0u) << report;
  EXPECT_NE(report.find("Nullstellen der Funktion"), std::string::npos) << report;
  EXPECT_EQ(report.find("Function formula"), std::string::npos);

  // The exit path keeps the option; the next start selects and applies the
  // choice before anything is shown.
  window->close();
  window.reset();
  start();
  EXPECT_EQ(mainCaptions(), kGermanCaptions);
  EXPECT_EQ(titles(), QStringList({"Farbpalette", "Fehlermeldung", "Über dieses Programm"}));
  EXPECT_TRUE(languageList()->isEnabled());
  EXPECT_EQ(languageList()->currentText(), "Deutsch");
  EXPECT_EQ(languageList()->currentIndex(), 1);

  EXPECT_TRUE(problems.empty()) << problems.join("\n").toStdString();
}

TEST_F(LanguagesTest, OfTwoFilesWithEqualNamesTheLaterIsSelected) {
  install("lang_de.txt", bin());
  installGermanWith(" Farbauswahl", " Farbwahl zwei", share() / "lang_de.txt");
  saveChoice("Deutsch");
  start();
  ASSERT_EQ(languageList()->count(), 3);
  EXPECT_EQ(languageList()->itemText(1), "Deutsch");
  EXPECT_EQ(languageList()->itemText(2), "Deutsch");
  EXPECT_EQ(languageList()->currentIndex(), 2);
  EXPECT_EQ(text("colorPickerCaption"), " Farbwahl zwei");
  EXPECT_EQ(text("autoScaleCaption"), " Automatische Skalierung");
}

// The translations are read once, as the window starts: removed from disk
// afterwards, a language is still listed and applied, without a message.
TEST_F(LanguagesTest, ATranslationRemovedAfterStartIsStillApplied) {
  install("lang_de.txt", bin());
  startShown();
  fs::remove(bin() / "lang_de.txt");
  choose("Deutsch");
  EXPECT_EQ(mainCaptions(), kGermanCaptions);
  EXPECT_EQ(settings()->title(), "Einstellungen");
  EXPECT_TRUE(problems.empty()) << problems.join("\n").toStdString();
}

TEST_F(LanguagesTest, WithTheOptionOffEnglishIsUsedWhateverIsSaved) {
  install("lang_de.txt", bin());
  saveChoice("Deutsch", false);
  startShown();
  EXPECT_EQ(mainCaptions(), kEnglishCaptions);
  EXPECT_EQ(settings()->title(), "Settings");
  EXPECT_FALSE(languageList()->isEnabled());
  EXPECT_EQ(languageList()->currentText(), "English");
  drawFormula("F(x)=2pi*x");
  EXPECT_EQ(messageLines()[0], "Please check the sintax of function F(x)");
  EXPECT_EQ(slurp(folder / "Kurvana.lng"), utf16("Deutsch\r\n"));  // read, not rewritten
}

TEST_F(LanguagesTest, AnUnreadableChoiceIsNamedAndEnglishIsUsed) {
  install("lang_de.txt", bin());
  saveChoice("Deutsch");
  fs::remove(folder / "Kurvana.lng");
  fs::create_directory(folder / "Kurvana.lng");  // unreadable even for root
  startShown();
  ASSERT_TRUE(QTest::qWaitFor([this] { return !problems.empty(); }, kTimeoutMs));
  ASSERT_EQ(problems.size(), 1);
  EXPECT_TRUE(problems[0].contains("Kurvana.lng")) << problems[0].toStdString();
  EXPECT_EQ(mainCaptions(), kEnglishCaptions);
  EXPECT_EQ(languageList()->currentIndex(), 0);
  EXPECT_EQ(window->messageWindow().title(), "Error message");
}

// A translation longer than its label never reaches the next control or
// the frame: the label keeps its size and cuts the text.
TEST_F(LanguagesTest, ALongCaptionIsCutAtItsLabelsRightEdge) {
  installGermanWith("Polarkoordinaten", "Polarkoordinaten " + QString(60, 'W'),
                    bin() / "lang_de.txt");
  startShown();
  SettingsDialog* d = settings();
  QLabel* polar = childOf<QLabel>(d, "polarCaption");
  const QRect end(480, 57, 31, 22);    // the label's last pixels
  const QRect beyond(511, 57, 5, 22);  // from its right edge to the frame
  const QImage emptyEnd = d->grab(end).toImage();
  const QImage plain = d->grab(beyond).toImage();
  choose("Deutsch");
  ASSERT_TRUE(polar->text().endsWith("WWW"));
  EXPECT_EQ(polar->geometry(), QRect(323, 57, 188, 22));
  EXPECT_NE(d->grab(end).toImage(), emptyEnd);
  EXPECT_EQ(d->grab(beyond).toImage(), plain);
  EXPECT_EQ(d->size(), QSize(518, 368));
}

}  // namespace
}  // namespace kurvana::ui
