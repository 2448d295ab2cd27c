// Interface languages on screen: the shipped translations placed beside a
// pretend executable, chosen in the settings dialog, reach every caption,
// title, message line and report word; the choice survives a restart; equal
// names, a file removed after start, the option switched off, an unreadable
// choice file and a caption longer than its label. The window's own
// catalogues (kurvana_<code>.qm) follow the same choice: every menu item,
// tool tip, file dialog and accessible name, the problem boxes and the
// update offer; a language file without one keeps English for the rest.
#include "ui/languages_fixture.h"

namespace kurvana::ui {
namespace {

const QStringList kEnglishCaptions = {" Color picker", " Automatic scale", " Filled graphic",
                                      " Line drawing", " Show circle"};
const QStringList kGermanCaptions = {" Farbauswahl", " Autoskalierung", " Gefüllte Grafik",
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
  EXPECT_EQ(text("autoScaleCaption"), " Autoskalierung");
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

// The window's own catalogues beside the program with the language files.
TEST_F(WindowCataloguesTest, EveryMenuTipDialogAndNameFollowsTheLanguage) {
  installAll();
  saveTwoFunctionMode();
  startShown();
  field("formulaF")->setText("F(x)=cos(x)");
  field("formulaG")->setText("G(x)=sin(x)");
  press("drawButton");
  ASSERT_TRUE(plotValid());

  const std::map<std::string, QString> english = catalogueTexts();
  switchTo("Deutsch");
  ASSERT_TRUE(plotValid());
  const std::map<std::string, QString> german = catalogueTexts();
  switchTo("Français");
  const std::map<std::string, QString> french = catalogueTexts();
  switchTo("English");
  EXPECT_EQ(differences(english, catalogueTexts()), "");

  // The same places in every language.
  std::map<std::string, QString> places = english;
  for (auto& [where, text] : places) text.clear();
  for (const auto* texts : {&german, &french}) {
    std::map<std::string, QString> other = *texts;
    for (auto& [where, text] : other) text.clear();
    ASSERT_EQ(differences(places, other), "");
  }
  int checked = 0;
  for (const auto& [where, en] : english) {
    SCOPED_TRACE(where + ": " + en.toStdString());
    const QString de = german.at(where);
    const QString fr = french.at(where);
    if (languageNeutral(en)) {
      EXPECT_EQ(de, en);
      EXPECT_EQ(fr, en);
      continue;
    }
    ++checked;
    // "Integral" is German too.
    if (!en.startsWith("Integral")) {
      EXPECT_NE(de, en) << "German: " << de.toStdString();
    }
    EXPECT_NE(fr, en) << "French: " << fr.toStdString();
    EXPECT_NE(fr, de);
  }
  EXPECT_GT(checked, 100);

  // Samples, and the patterns of the filters untouched.
  EXPECT_EQ(german.at("plot menu 1"), "Bild kopieren");
  EXPECT_EQ(german.at("plot menu 9"), "Zurück");
  EXPECT_EQ(french.at("plot menu 10"), "Suivant");
  EXPECT_EQ(german.at("plot menu 12"), "Beenden");
  EXPECT_EQ(french.at("field menu xMin 0"), "Couper");
  EXPECT_EQ(german.at("tip main drawButton"), "Formel zeichnen (Eingabe)");
  EXPECT_EQ(french.at("name main drawButton"), "Tracer");
  EXPECT_EQ(german.at("dialog 0 title"), "Bild speichern");
  EXPECT_EQ(french.at("dialog 2 filter 1"), "Tous les fichiers (*)");
  for (const auto& [where, en] : english) {
    if (where.find(" filter ") == std::string::npos) continue;
    const QString pattern = en.mid(en.indexOf(" ("));
    EXPECT_TRUE(german.at(where).endsWith(pattern)) << german.at(where).toStdString();
    EXPECT_TRUE(french.at(where).endsWith(pattern)) << french.at(where).toStdString();
  }
  // The palette's components, shown while it is open: green is "vert" in
  // French, and follows a switch made meanwhile.
  switchTo("Français");
  press("colorPickerPicture");
  auto* palette = topLevel<PaletteDialog>("paletteDialog");
  ASSERT_TRUE(QTest::qWaitFor([palette] { return palette->isVisible(); }, kTimeoutMs));
  EXPECT_EQ(palette->componentText(0).left(4), "R = ");
  EXPECT_EQ(palette->componentText(1).left(4), "V = ");
  palette->hide();
  switchTo("Deutsch");
  EXPECT_EQ(palette->componentText(1).left(4), "G = ");
  EXPECT_TRUE(problems.empty()) << problems.join("\n").toStdString();
}

// Cut, Copy, Paste, Delete, Select all, Load function, Save function on the
// range fields as on the formula fields; Cut, Paste and Delete only where
// the field may be edited; items enabled for the selection and clipboard.
TEST_F(WindowCataloguesTest, EveryFieldHasTheSameMenu) {
  saveTwoFunctionMode();
  startShown();
  const QStringList items = {"Cut",        "Copy",          "Paste",        "Delete",
                             "Select all", "Load function", "Save function"};
  for (const char* name : kFieldNames) EXPECT_EQ(fieldMenuTexts(name), items) << name;

  QLineEdit* xMin = field("xMin");
  xMin->setText("-12.5");
  xMin->setSelection(0, 3);
  QApplication::clipboard()->setText("7");
  QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), xMin->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(xMin, &click);
  QMenu* menu = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "fieldMenu" && w->isVisible()) menu = qobject_cast<QMenu*>(w);
  }
  ASSERT_NE(menu, nullptr);
  QList<QAction*> actions = menu->actions();
  actions.removeIf([](QAction* a) { return a->isSeparator(); });
  ASSERT_EQ(actions.size(), 7);
  for (QAction* a : actions) EXPECT_TRUE(a->isEnabled()) << a->text().toStdString();
  actions[0]->trigger();  // Cut
  EXPECT_EQ(xMin->text(), ".5");
  EXPECT_EQ(QApplication::clipboard()->text(), "-12");
  menu->close();

  // Read-only: what would change the text is left out or disabled.
  xMin->setReadOnly(true);
  xMin->selectAll();
  EXPECT_EQ(fieldMenuTexts("xMin"), QStringList({"Copy", "Paste", "Delete", "Select all",
                                                 "Load function", "Save function"}));
  // A disabled field takes no menu at all.
  xMin->setReadOnly(false);
  xMin->setEnabled(false);
  EXPECT_EQ(fieldMenuTexts("xMin"), QStringList());
}

TEST_F(WindowCataloguesTest, ALanguageFileWithoutACatalogueKeepsEnglishForTheRest) {
  installAll();
  saveTwoFunctionMode();
  // German-looking texts under another code: lang_xx.txt, no kurvana_xx.qm.
  installGermanWith("Deutsch\r\n", "Eigenes Deutsch\r\n", bin() / "lang_xx.txt");
  startShown();
  field("formulaF")->setText("F(x)=cos(x)");
  field("formulaG")->setText("G(x)=sin(x)");
  press("drawButton");
  const std::map<std::string, QString> english = catalogueTexts();
  switchTo("Eigenes Deutsch");
  EXPECT_EQ(mainCaptions(), kGermanCaptions);
  EXPECT_EQ(settings()->title(), "Einstellungen");
  const std::map<std::string, QString> own = catalogueTexts();
  std::map<std::string, QString> places = english, ownPlaces = own;
  for (auto* texts : {&places, &ownPlaces}) {
    for (auto& [where, text] : *texts) text.clear();
  }
  ASSERT_EQ(differences(places, ownPlaces), "");
  for (const auto& [where, en] : english) {
    // Only names from the 35 texts change: the toggles, the settings
    // button, the titles.
    if (where.starts_with("name ") && own.at(where) != en) continue;
    EXPECT_EQ(own.at(where), en) << where;
  }
  EXPECT_EQ(own.at("tip main drawButton"), "Draw the formula (Enter)");
  EXPECT_EQ(own.at("name main drawButton"), "Draw");
  EXPECT_EQ(own.at("name main settingsButton"), "Einstellungen");
  // And back to German with its catalogue.
  switchTo("Deutsch");
  EXPECT_EQ(find<QWidget>("drawButton")->toolTip(), "Formel zeichnen (Eingabe)");
}

// Installed, both the language file and the catalogue are in share/kurvana.
TEST_F(WindowCataloguesTest, TheInstalledFolderIsSearchedToo) {
  install("lang_fr.txt", share());
  installCatalogue("kurvana_fr.qm", share());
  startShown();
  switchTo("Français");
  EXPECT_EQ(find<QWidget>("drawButton")->toolTip(), "Tracer la formule (Entrée)");
  EXPECT_TRUE(problems.empty()) << problems.join("\n").toStdString();
}

// A named pipe in place of a function file: the box says so in the language.
TEST_F(WindowCataloguesTest, AProblemBoxComesInTheChosenLanguage) {
  installAll();
  startShown();
  const fs::path pipe = root / "pipe.kv1";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const QString path = QString::fromStdString(pipe.string());
  const struct {
    QString language;
    QString message;
  } cases[] = {
      {"Deutsch", "„" + path + "“ kann nicht gelesen werden: es ist eine benannte Pipe"},
      {"Français", "Impossible de lire «\u00A0" + path + "\u00A0»\u00A0: c'est un tube nommé"},
      {"English", "Cannot read \"" + path + "\": it is a named pipe"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language.toStdString());
    switchTo(c.language);
    problems.clear();
    answers.push_back(FileChoice{path});
    QList<QAction*> actions = find<QMenu>("plotMenu")->actions();
    actions.removeIf([](QAction* a) { return a->isSeparator(); });
    actions[3]->trigger();  // Load function
    EXPECT_EQ(problems, QStringList({c.message}));
  }
}

// A catalogue that is no catalogue, or a pipe in its place, is named and
// the next folder's is used; nothing hangs.
TEST_F(WindowCataloguesTest, ACatalogueThatCannotBeUsedIsNamedAndTheNextOneTaken) {
  install("lang_de.txt", bin());
  writeFile(bin() / "kurvana_de.qm", "not a catalogue");
  installCatalogue("kurvana_de.qm", share());
  startShown();
  switchTo("Deutsch");
  const QString broken = QString::fromStdString((bin() / "kurvana_de.qm").string());
  EXPECT_EQ(problems, QStringList({"„" + broken +
                                   "“ kann nicht gelesen werden: es ist keine Übersetzungsdatei"}));
  EXPECT_EQ(find<QWidget>("drawButton")->toolTip(), "Formel zeichnen (Eingabe)");

  // A pipe, and nothing else: English, and the pipe is named.
  fs::remove(bin() / "kurvana_de.qm");
  fs::remove(share() / "kurvana_de.qm");
  ASSERT_EQ(::mkfifo((bin() / "kurvana_de.qm").c_str(), 0600), 0);
  switchTo("English");
  problems.clear();
  switchTo("Deutsch");
  EXPECT_EQ(problems, QStringList({"Cannot read \"" + broken + "\": it is a named pipe"}));
  EXPECT_EQ(find<QWidget>("drawButton")->toolTip(), "Draw the formula (Enter)");
  EXPECT_EQ(text("colorPickerCaption"), " Farbauswahl");
}

// Qt's own catalogue comes with ours where the system has it: the buttons
// of the message boxes and the file dialog.
TEST_F(WindowCataloguesTest, QtsOwnButtonsFollowWhereTheSystemHasThem) {
  const fs::path qtCatalogue =
      fs::path(QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString()) / "qtbase_de.qm";
  if (!fs::exists(qtCatalogue)) GTEST_SKIP() << "no " << qtCatalogue << " (qt6-translations-l10n)";
  installAll();
  startShown();
  switchTo("Deutsch");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
  switchTo("English");
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Cancel");
}

TEST_F(WindowCataloguesTest, TheUpdateOfferInGermanAndFrench) {
  installAll();
  VersionServer server;
  server.answer("/kurvana/version.txt", httpResponse(200, "version1.1"));
  versionDocument = server.url("/kurvana/version.txt");
  updateDrawValue = 1;
  const struct {
    const char* language;
    QString offer;
  } cases[] = {
      {"Deutsch", "Eine neue Programmversion ist verfügbar!\nMöchten Sie sie jetzt herunterladen?"},
      {"Français",
       "Une nouvelle version du programme est disponible\u00A0!\nVoulez-vous la "
       "télécharger maintenant\u00A0?"},
      {"English", "A new program version is available!\nDo you want to download it now?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    window.reset();
    confirmations.clear();
    saveChoice(c.language, std::string(c.language) != "English");
    startShown();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !confirmations.isEmpty(); }, kTimeoutMs));
    EXPECT_EQ(confirmations, QStringList({c.offer}));
  }
}

}  // namespace
}  // namespace kurvana::ui
