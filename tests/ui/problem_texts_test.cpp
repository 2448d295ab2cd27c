// The core's problem messages in German and French: every sentence form and
// reason has a finished translation in both catalogues with its
// placeholders; a sample of each form, and messages the core really builds
// (files in the way, caps, a data folder that cannot be made, a settings
// record and a history that cannot be read), come out translated with their
// paths and numbers intact; what is not recognised stays English.
#include "ui/problem_texts.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>
#include <map>
#include <set>

#include "app/controller.h"
#include "app/memory_view.h"
#include "files/as_other_user.h"
#include "files/atomic_file.h"
#include "files/data_folder.h"
#include "files/desktop_opener.h"
#include "files/history.h"
#include "files/language_file.h"
#include "files/picture_file.h"
#include "files/resolved_path.h"
#include "support/test_files.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace kurvana::ui {
namespace {

namespace fs = std::filesystem;
const QString kNb = QString(QChar(0x00A0));  // French: no break before ":" and inside « »

QString fromStd(const std::string& text) {
  return QString::fromStdString(text);
}

// One catalogue of the build installed in the application while it lives.
class Catalogue {
 public:
  explicit Catalogue(const QString& code) {
    loaded_ = translator_.load(QString(KURVANA_QM_DIR) + "/kurvana_" + code + ".qm");
    EXPECT_TRUE(loaded_) << "no kurvana_" << code.toStdString() << ".qm in " << KURVANA_QM_DIR;
    if (loaded_) QCoreApplication::installTranslator(&translator_);
  }
  ~Catalogue() {
    if (loaded_) QCoreApplication::removeTranslator(&translator_);
  }

 private:
  QTranslator translator_;
  bool loaded_ = false;
};

// A .ts file's messages: context and source to the translation, with its
// type ("unfinished", "vanished", "obsolete") when it has one.
struct TsMessage {
  QString translation;
  QString type;
};
using TsFile = std::map<std::pair<QString, QString>, TsMessage>;

TsFile readTs(const QString& path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
  QXmlStreamReader xml(&file);
  TsFile messages;
  QString context, source;
  TsMessage message;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    const auto name = xml.name();
    if (name == u"name") {
      context = xml.readElementText();
    } else if (name == u"message") {
      source.clear();
      message = {};
    } else if (name == u"source") {
      source = xml.readElementText();
    } else if (name == u"translation") {
      message.type = xml.attributes().value("type").toString();
      message.translation = xml.readElementText();
      messages[{context, source}] = message;
    }
  }
  EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
  return messages;
}

// The %1..%9 of a text, sorted, each as often as it occurs.
QStringList placeholders(const QString& text) {
  QStringList found;
  static const QRegularExpression kPlaceholder("%[1-9]");
  for (const auto& m : kPlaceholder.globalMatch(text)) found << m.captured();
  found.sort();
  return found;
}

const char* const kLanguages[] = {"de", "fr"};

TEST(ProblemCatalogues, EveryTextIsTranslatedWithItsPlaceholders) {
  for (const char* code : kLanguages) {
    SCOPED_TRACE(code);
    const TsFile ts = readTs(QString(KURVANA_TRANSLATIONS_DIR) + "/kurvana_" + code + ".ts");
    ASSERT_FALSE(ts.empty());
    for (const auto& [key, message] : ts) {
      const std::string where = key.first.toStdString() + ": " + key.second.toStdString();
      EXPECT_TRUE(message.type.isEmpty()) << message.type.toStdString() << " " << where;
      EXPECT_FALSE(message.translation.trimmed().isEmpty()) << where;
      EXPECT_EQ(placeholders(message.translation), placeholders(key.second)) << where;
    }
    for (const QString& source : problemSourceTexts()) {
      EXPECT_TRUE(ts.contains({QString(kProblemContext), source})) << source.toStdString();
    }
  }
}

// A sample of each form and each composite reason, as the core writes it.
struct Sample {
  QString english;
  QString german;
  QString french;
};

QString fr(const QString& text) {
  QString out = text;
  out.replace("« ", "«" + kNb).replace(" »", kNb + "»").replace(" :", kNb + ":");
  out.replace(" ;", kNb + ";").replace(" Mio", kNb + "Mio").replace(" octet", kNb + "octet");
  return out;
}

const QString kUrl = "https://www.talvoren.example/kurvana.htm";

std::vector<Sample> samples() {
  return {
      {"Cannot read \"/d/Kurvana.lst\": it is a folder. Formulas are not added to this history "
       "until it can be read.",
       "„/d/Kurvana.lst“ kann nicht gelesen werden: es ist ein Ordner. Formeln kommen erst wieder "
       "in diesen Verlauf, wenn er lesbar ist.",
       fr("Impossible de lire « /d/Kurvana.lst » : c'est un dossier. Les formules ne sont plus "
          "ajoutées à cet historique tant qu'il ne peut pas être lu.")},
      {"Cannot read \"/d/Kurvana.ini\": Permission denied. Settings are not saved while it is "
       "there.",
       "„/d/Kurvana.ini“ kann nicht gelesen werden: Zugriff verweigert. Solange diese Datei dort "
       "liegt, werden die Einstellungen nicht gespeichert.",
       fr("Impossible de lire « /d/Kurvana.ini » : Permission refusée. Les paramètres ne sont pas "
          "enregistrés tant que ce fichier s'y trouve.")},
      {"Cannot read \"/tmp/pipe.kv1\": it is a named pipe",
       "„/tmp/pipe.kv1“ kann nicht gelesen werden: es ist eine benannte Pipe",
       fr("Impossible de lire « /tmp/pipe.kv1 » : c'est un tube nommé")},
      {"Cannot read \"/f.kv1\": it is larger than 1 MiB",
       "„/f.kv1“ kann nicht gelesen werden: die Datei ist größer als 1 MiB",
       fr("Impossible de lire « /f.kv1 » : il dépasse 1 Mio")},
      {"Cannot read \"/f.ini\": it is larger than 4 KiB",
       "„/f.ini“ kann nicht gelesen werden: die Datei ist größer als 4 KiB",
       fr("Impossible de lire « /f.ini » : il dépasse 4" + kNb + "Kio")},
      {"Cannot read \"/f\": it is larger than 89 bytes",
       "„/f“ kann nicht gelesen werden: die Datei ist größer als 89 Bytes",
       fr("Impossible de lire « /f » : il dépasse 89 octets")},
      {"Cannot read \"/f\": it is larger than 1 byte",
       "„/f“ kann nicht gelesen werden: die Datei ist größer als 1 Byte",
       fr("Impossible de lire « /f » : il dépasse 1 octet")},
      {"Cannot write \"/mnt/ro/a.bmp\": Read-only file system",
       "„/mnt/ro/a.bmp“ kann nicht geschrieben werden: Das Dateisystem ist schreibgeschützt",
       fr("Impossible d'écrire « /mnt/ro/a.bmp » : Système de fichiers en lecture seule")},
      {"Cannot write \"/dev/null\": it is a device, not replaced",
       "„/dev/null“ kann nicht geschrieben werden: es ist ein Gerät und wird nicht ersetzt",
       fr("Impossible d'écrire « /dev/null » : c'est un périphérique, qui n'est pas remplacé")},
      {"Cannot write \"/d/a.kv1\": No space left on device; its previous content is kept in "
       "\"/d/a.kv1.kept-AbC123\"",
       "„/d/a.kv1“ kann nicht geschrieben werden: Kein Platz mehr auf dem Datenträger; ihr "
       "bisheriger Inhalt liegt in „/d/a.kv1.kept-AbC123“",
       fr("Impossible d'écrire « /d/a.kv1 » : Plus de place sur le périphérique ; son contenu "
          "précédent est conservé dans « /d/a.kv1.kept-AbC123 »")},
      {"Cannot write \"/d/a.kv1\": Input/output error; its previous content could not be put back",
       "„/d/a.kv1“ kann nicht geschrieben werden: Ein-/Ausgabefehler; ihr bisheriger Inhalt "
       "konnte nicht zurückgeschrieben werden",
       fr("Impossible d'écrire « /d/a.kv1 » : Erreur d'entrée-sortie ; son contenu précédent n'a "
          "pas pu être rétabli")},
      {"Cannot write \"/d/Kurvana3.lst\": Disk quota exceeded; \"/d/Kurvana2.lst\" was put back "
       "as it was",
       "„/d/Kurvana3.lst“ kann nicht geschrieben werden: Speicherkontingent überschritten; "
       "„/d/Kurvana2.lst“ wurde wiederhergestellt",
       fr("Impossible d'écrire « /d/Kurvana3.lst » : Quota de disque dépassé ; « /d/Kurvana2.lst » "
          "a été rétabli tel quel")},
      {"Cannot write \"/d/Kurvana3.lst\": Disk quota exceeded; \"/d/Kurvana2.lst\" was written "
       "but could not be put back (Permission denied)",
       "„/d/Kurvana3.lst“ kann nicht geschrieben werden: Speicherkontingent überschritten; "
       "„/d/Kurvana2.lst“ wurde geschrieben, konnte aber nicht wiederhergestellt werden (Zugriff "
       "verweigert)",
       fr("Impossible d'écrire « /d/Kurvana3.lst » : Quota de disque dépassé ; « /d/Kurvana2.lst » "
          "a été écrit mais n'a pas pu être rétabli (Permission refusée)")},
      {"Cannot open the report \"/d/kvreport.txt\": xdg-open could not be started. It is still "
       "written there after each Draw.",
       "Der Bericht „/d/kvreport.txt“ kann nicht geöffnet werden: xdg-open konnte nicht gestartet "
       "werden. Er wird weiterhin nach jedem Zeichnen dort geschrieben.",
       fr("Impossible d'ouvrir le rapport « /d/kvreport.txt » : xdg-open n'a pas pu être lancé. Il "
          "y est toujours écrit après chaque tracé.")},
      {"Cannot open \"" + kUrl +
           "\": the desktop has no program for it (xdg-open ended with status 3).",
       "„" + kUrl +
           "“ kann nicht geöffnet werden: die Arbeitsumgebung hat kein Programm dafür (xdg-open "
           "endete mit Status 3).",
       fr("Impossible d'ouvrir « " + kUrl +
          " » : le bureau n'a aucun programme pour l'ouvrir (xdg-open s'est terminé avec le code "
          "3).")},
      {"Cannot open \"" + kUrl + "\": xdg-open ended with status 4.",
       "„" + kUrl + "“ kann nicht geöffnet werden: xdg-open endete mit Status 4.",
       fr("Impossible d'ouvrir « " + kUrl + " » : xdg-open s'est terminé avec le code 4.")},
      {"Kurvana cannot find your documents folder: the HOME variable is not set.",
       "Kurvana findet Ihren Dokumentenordner nicht: Die Variable HOME ist nicht gesetzt.",
       fr("Kurvana ne trouve pas votre dossier de documents : la variable HOME n'est pas "
          "définie.")},
      {"Kurvana cannot create its data folder \"/h/Documents/Talvoren/Kurvana\": a file of that "
       "name is in the way.",
       "Kurvana kann seinen Datenordner „/h/Documents/Talvoren/Kurvana“ nicht anlegen: eine Datei "
       "dieses Namens ist im Weg.",
       fr("Kurvana ne peut pas créer son dossier de données « /h/Documents/Talvoren/Kurvana » : un "
          "fichier de ce nom occupe la place.")},
      {"Language file \"/usr/share/kurvana/lang_zz.txt\" and those after it are left out: all "
       "language files together may not exceed 4 MiB.",
       "Die Sprachdatei „/usr/share/kurvana/lang_zz.txt“ und alle folgenden werden ausgelassen: "
       "Alle Sprachdateien zusammen dürfen 4 MiB nicht überschreiten.",
       fr("Le fichier de langue « /usr/share/kurvana/lang_zz.txt » et les suivants sont ignorés : "
          "l'ensemble des fichiers de langue ne peut pas dépasser 4 Mio.")},
      {"Language file \"/b/lang_b.txt\" and those after it are left out: all language files "
       "together may not exceed 1000 bytes.",
       "Die Sprachdatei „/b/lang_b.txt“ und alle folgenden werden ausgelassen: Alle Sprachdateien "
       "zusammen dürfen 1000 Bytes nicht überschreiten.",
       fr("Le fichier de langue « /b/lang_b.txt » et les suivants sont ignorés : l'ensemble des "
          "fichiers de langue ne peut pas dépasser 1000 octets.")},
      // Two unreadable histories of two-function mode in one message.
      {"Cannot read \"/d/Kurvana2.lst\": it is a socket. Formulas are not added to this history "
       "until it can be read.\nCannot read \"/d/Kurvana3.lst\": Is a directory. Formulas are not "
       "added to this history until it can be read.",
       "„/d/Kurvana2.lst“ kann nicht gelesen werden: es ist ein Socket. Formeln kommen erst wieder "
       "in diesen Verlauf, wenn er lesbar ist.\n„/d/Kurvana3.lst“ kann nicht gelesen werden: Ist "
       "ein Ordner. Formeln kommen erst wieder in diesen Verlauf, wenn er lesbar ist.",
       fr("Impossible de lire « /d/Kurvana2.lst » : c'est un socket. Les formules ne sont plus "
          "ajoutées à cet historique tant qu'il ne peut pas être lu.\nImpossible de lire « "
          "/d/Kurvana3.lst » : C'est un dossier. Les formules ne sont plus ajoutées à cet "
          "historique tant qu'il ne peut pas être lu.")},
      // Quotes, colons and a placeholder in a path stay as they are.
      {"Cannot read \"/a\": b/%2 \"q\": x.kv1\": it is a folder",
       "„/a\": b/%2 \"q\": x.kv1“ kann nicht gelesen werden: es ist ein Ordner",
       fr("Impossible de lire « /a\": b/%2 \"q\": x.kv1 » : c'est un dossier")},
  };
}

TEST(ProblemTexts, EachFormComesOutInTheLanguageWithItsArguments) {
  for (const Sample& s : samples()) {
    SCOPED_TRACE(s.english.toStdString());
    {
      const TranslatedProblem english = translateProblemText(s.english);
      EXPECT_EQ(english.text, s.english);  // no catalogue: as the core wrote it
      EXPECT_TRUE(english.whole);
    }
    {
      Catalogue de("de");
      const TranslatedProblem german = translateProblemText(s.english);
      EXPECT_EQ(german.text, s.german);
      EXPECT_TRUE(german.whole);
    }
    {
      Catalogue fr("fr");
      const TranslatedProblem french = translateProblemText(s.english);
      EXPECT_EQ(french.text, s.french);
      EXPECT_TRUE(french.whole);
    }
  }
}

// Every reason of the table, behind the colon of a read or a write, is
// recognised and replaced by its own translation.
TEST(ProblemTexts, EveryReasonIsRecognisedBehindEitherFrame) {
  for (const char* code : kLanguages) {
    Catalogue catalogue(code);
    for (const QString& source : problemSourceTexts()) {
      if (source.contains('%') || source.contains("Cannot ") || source.contains("Kurvana ") ||
          source.contains("Language file")) {
        continue;  // the frames and the composite reasons have samples of their own
      }
      SCOPED_TRACE(std::string(code) + ": " + source.toStdString());
      const QString reason =
          QCoreApplication::translate(kProblemContext, source.toUtf8().constData());
      EXPECT_NE(reason, source);
      const TranslatedProblem read = translateProblemText("Cannot read \"/p q\": " + source);
      EXPECT_TRUE(read.whole);
      EXPECT_TRUE(read.text.endsWith(": " + reason)) << read.text.toStdString();
      EXPECT_TRUE(read.text.contains("/p q"));
      EXPECT_TRUE(translateProblemText("Cannot write \"/p\": " + source).whole);
    }
  }
}

TEST(ProblemTexts, WhatIsNotRecognisedStaysEnglish) {
  Catalogue de("de");
  // Whole messages the table does not know pass through unchanged.
  for (const QString& unknown :
       {QString("Something the core never says."), QString(), QString("Cannot read"),
        QString("Cannot read \"/p\""), QString("cannot read \"/p\": it is a folder"),
        QString("Cannot open \"/p\": x"),
        QString("Language file \"/l\" and those after it are left out: all language files "
                "together may not exceed 4x MiB.")}) {
    SCOPED_TRACE(unknown.toStdString());
    const TranslatedProblem out = translateProblemText(unknown);
    EXPECT_EQ(out.text, unknown);
    EXPECT_FALSE(out.whole);
  }
  // A frame it knows around a reason it does not (libjpeg's, libpng's):
  // the frame in German, the reason as it was.
  const struct {
    QString english;
    QString german;
  } partial[] = {
      {"Cannot write \"/p.jpg\": Empty JPEG image (DNL not supported)",
       "„/p.jpg“ kann nicht geschrieben werden: Empty JPEG image (DNL not supported)"},
      {"Cannot write \"/p\": Permission denied; \"/q\" was written but could not be put back "
       "(something new)",
       "„/p“ kann nicht geschrieben werden: Zugriff verweigert; „/q“ wurde geschrieben, konnte "
       "aber nicht wiederhergestellt werden (something new)"},
      {"Cannot read \"/p\": it is a folder.", "„/p“ kann nicht gelesen werden: it is a folder."},
      {"Cannot read \"/a\": it is a folder\nA line of its own",
       "„/a“ kann nicht gelesen werden: es ist ein Ordner\nA line of its own"},
  };
  for (const auto& p : partial) {
    SCOPED_TRACE(p.english.toStdString());
    const TranslatedProblem out = translateProblemText(p.english);
    EXPECT_EQ(out.text, p.german);
    EXPECT_FALSE(out.whole);
  }
  // Far longer than any message the core builds: left as it is.
  const QString huge = "Cannot read \"/" + QString(70000, 'a') + "\": it is a folder";
  EXPECT_EQ(translateProblem(huge), huge);
}

// Messages as the core builds them from real files, caps and failures.
class CoreProblems : public ::testing::Test {
 protected:
  void expectTranslated(const std::string& message, const std::vector<std::string>& kept) {
    ASSERT_FALSE(message.empty());
    SCOPED_TRACE(message);
    const QString english = fromStd(message);
    for (const char* code : kLanguages) {
      Catalogue catalogue(code);
      const TranslatedProblem out = translateProblemText(english);
      EXPECT_TRUE(out.whole) << code << ": " << out.text.toStdString();
      EXPECT_NE(out.text, english) << code;
      for (const std::string& part : kept) {
        EXPECT_TRUE(out.text.contains(fromStd(part))) << code << ": " << part;
      }
    }
  }

  testing::TemporaryFolder temp{"problems"};
  const fs::path root = temp.path();
};

TEST_F(CoreProblems, ReadingAndWritingWhatIsInAFilesPlace) {
  const fs::path pipe = root / "pipe.kv1";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const fs::path socketPath = root / "socket";
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath.c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  const fs::path plain = root / "plain.txt";
  testing::writeWhole(plain, std::string(3000, 'x'));
  fs::create_directory(root / "folder");
  fs::create_symlink("loop", root / "loop");
  for (const fs::path& p :
       {pipe, socketPath, fs::path("/dev/null"), root / "folder", plain / "below", root / "loop"}) {
    expectTranslated(readFile(p, 1 << 20).status.message(), {p.string()});
    expectTranslated(writeFileAtomically(p, "x").message(), {p.string()});
  }
  expectTranslated(readFile(root / "missing.kv1", 1 << 20).status.message(), {"missing.kv1"});
  for (const std::size_t cap :
       {std::size_t{1}, std::size_t{2}, std::size_t{1024}, std::size_t{2000}}) {
    expectTranslated(readFile(plain, cap).status.message(),
                     {plain.string(), sizeText(cap).substr(0, 1)});
  }
  expectTranslated(writeFileAtomically(root / "", "x").message(), {});  // no file name
  const Bitmap none;
  expectTranslated(writeBmpFile(none, root / "a.bmp").message(), {(root / "a.bmp").string()});
  expectTranslated(writePngFile(none, root / "a.png").message(), {(root / "a.png").string()});
  expectTranslated(writeJpegFile(none, root / "a.jpg").message(), {(root / "a.jpg").string()});
  ::close(s);
}

TEST_F(CoreProblems, PermissionDeniedAsAnOrdinaryUser) {
  const fs::path locked = root / "locked" / "a.kv1";
  testing::writeWhole(locked, "F(x)=x\r\n");
  ASSERT_TRUE(testing::giveToNobody(root, 0755));
  ::chmod((root / "locked").c_str(), 0700);
  const std::optional<std::string> seen = testing::asNobody([&] {
    return readFile(locked, 1 << 20).status.message() + "\n" +
           writeFileAtomically(locked, "x").message();
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  const std::size_t line = seen->find('\n');
  expectTranslated(seen->substr(0, line), {locked.string()});
  expectTranslated(seen->substr(line + 1), {locked.string()});
}

TEST_F(CoreProblems, TheDataFolderTheOpenerAndTheLanguageCap) {
  {
    std::map<std::string, std::string> vars;
    const DataFolder found = dataFolder(testing::environmentOf(vars));
    EXPECT_FALSE(found.folder);
    EXPECT_TRUE(found.status.isFatal());
    expectTranslated(found.status.message(), {"HOME"});
  }
  {
    std::map<std::string, std::string> vars = {{"HOME", (root / "home").string()}};
    testing::writeWhole(root / "home/Documents/Talvoren", "a file");
    const DataFolder found = dataFolder(testing::environmentOf(vars));
    EXPECT_FALSE(found.folder);
    expectTranslated(found.status.message(), {(root / "home/Documents/Talvoren/Kurvana").string()});
  }
  const DesktopOpener opener({"/usr/bin/xdg-open"}, DesktopOpener::Reuse::kEveryTime);
  for (const std::optional<int> status :
       {std::optional<int>(), std::optional<int>(3), std::optional<int>(127)}) {
    expectTranslated(
        "Cannot open \"" + kUrl.toStdString() + "\": " + opener.failureReason(status) + ".",
        {kUrl.toStdString(), "xdg-open"});
  }
  testing::writeWhole(root / "l/lang_a.txt", "A\r\n" + std::string(600, 'a'));
  testing::writeWhole(root / "l/lang_b.txt", "B\r\n" + std::string(600, 'b'));
  for (const std::uintmax_t cap : {std::uintmax_t{1000}, std::uintmax_t{1} << 20}) {
    if (cap == std::uintmax_t{1} << 20) {
      testing::writeWhole(root / "l/lang_a.txt", "A\r\n" + std::string(700000, 'a'));
      testing::writeWhole(root / "l/lang_b.txt", "B\r\n" + std::string(700000, 'b'));
    }
    const LanguageList list = readLanguageFiles(listLanguageFiles({root / "l"}), cap);
    ASSERT_EQ(list.status.messages().size(), 1u);
    expectTranslated(list.status.messages()[0], {(root / "l/lang_b.txt").string()});
  }
}

// The controller's own sentences at start-up: a settings record and a
// history with a folder in their place.
TEST_F(CoreProblems, ASettingsRecordAndAHistoryThatCannotBeRead) {
  std::map<std::string, std::string> vars = {{"HOME", (root / "home").string()},
                                             {"XDG_CONFIG_HOME", (root / "config").string()}};
  const fs::path data = root / "home/Documents/Talvoren/Kurvana";
  fs::create_directories(data / "Kurvana.ini");
  fs::create_directories(data / "Kurvana.lst");
  MemoryView view;
  ControllerSetup setup = ControllerSetup::headless();
  setup.environment = testing::environmentOf(vars);
  Controller controller(view, setup);
  const Status status = controller.startUp(Size{1920, 1080}, std::nullopt);
  ASSERT_EQ(status.messages().size(), 2u);
  for (const std::string& message : status.messages()) {
    expectTranslated(message, {data.string()});
  }
}

}  // namespace
}  // namespace kurvana::ui
