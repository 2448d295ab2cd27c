// Translation files and the chosen-language file: recognising the encoding,
// line ends, partial, foreign and unreadable files, the list of files, and
// the shipped translations.
#include "files/language_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "files/as_other_user.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// UTF-8 text as UTF-16 LE, optionally without the mark.
std::string utf16(const std::string& text, bool mark = true) {
  const std::string encoded = encodeUtf16(text);
  return mark ? encoded : encoded.substr(2);
}

// The same as UTF-16 BE, the mark becoming FE FF.
std::string utf16be(const std::string& text, bool mark = true) {
  std::string bytes = utf16(text, mark);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
  return bytes;
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string show(const std::string& bytes) {
  std::ostringstream out;
  out << bytes.size() << " bytes: ";
  for (const unsigned char c : bytes.substr(0, 24)) out << std::hex << int(c) << ' ';
  return out.str();
}

TEST(Utf16Lines, EveryLineEndAndTheMark) {
  EXPECT_EQ(decodeUtf16Lines(utf16("a\r\nb\nc\rd")), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(decodeUtf16Lines(utf16("one\r\n", false)), (Lines{"one"}));
  EXPECT_EQ(decodeUtf16Lines(utf16("\r\n\r\nx")), (Lines{"", "", "x"}));
  EXPECT_EQ(decodeUtf16Lines(utf16(" Größe € 𝑥")), (Lines{" Größe € 𝑥"}));
}

TEST(Utf16Lines, DamagedInputDecodesWithoutHarm) {
  // An unpaired high surrogate, then an odd trailing byte.
  const std::string bytes = std::string(
                                "\xFF\xFE"
                                "A\0\x00\xD8"
                                "B\0",
                                8) +
                            "\x41";
  EXPECT_EQ(decodeUtf16Lines(bytes), (Lines{"A\xEF\xBF\xBD"
                                            "B"}));
  std::mt19937 rng(9);
  for (int i = 0; i < 300; ++i) {
    std::string random(rng() % 300, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    decodeUtf16Lines(random);
    decodeTextLines(random);
    encodeUtf16(random);
  }
  EXPECT_EQ(encodeUtf16("\xC3"), std::string("\xFF\xFE\xFD\xFF", 4));  // cut sequence
}

TEST(TextLines, EncodingByMarkOrByBytes) {
  const std::string a0(std::string("A\0", 2));
  const std::string n = "-N";  // U+4E2D in UTF-16 LE: no zero byte
  const std::string bom8 = "\xEF\xBB\xBF";
  const struct {
    std::string bytes;
    std::optional<Lines> lines;
  } cases[] = {
      {utf16be(" Größe € 𝑥\r\nb"), Lines{" Größe € 𝑥", "b"}},
      {"\xEF\xBB\xBF Größe\r\nb", Lines{" Größe", "b"}},
      {"\xFF\xFE", Lines{}},  // a mark alone: text without lines
      {"\xFE\xFF", Lines{}},
      {"\xEF\xBB\xBF", Lines{}},
      {"", Lines{}},
      {"a\tb", Lines{"a\tb"}},
      {utf16be("ab") + "c", Lines{"ab"}},        // marked: the odd byte is dropped
      {utf16("ab", false) + "c", std::nullopt},  // unmarked: odd means not UTF-16
      {"Fran\xC3", std::nullopt},                // UTF-8 cut at the end
      {bom8 + "Fran\xC3", Lines{"Fran\xEF\xBF\xBD"}},
      {"\xF4\x90\x80\x80", std::nullopt},  // beyond U+10FFFF
      {"Gr\xF6\xDF", std::nullopt},        // Latin-1
      {"Deutsch\x01\r\n", std::nullopt},
      {"\xC2\x85", std::nullopt},       // U+0085, a C1 control
      {"x\xEF\xBF\xBE", std::nullopt},  // U+FFFE, a swapped mark
      {utf16("ab\x7F"), std::nullopt},
      // One zero in eight characters is enough, one in nine is not.
      {n + n + n + n + n + n + n + a0, Lines{"中中中中中中中A"}},
      {n + n + n + n + n + n + n + n + a0, std::nullopt},
      // The zeros' side must hold four times those of the other.
      {a0 + a0 + a0 + a0 + std::string("\0N", 2), Lines{"AAAA一"}},
      {a0 + a0 + a0 + std::string("\0N", 2), std::nullopt},
      {std::string("\0A\0B", 4), Lines{"AB"}},  // BE by its bytes
  };
  for (const auto& c : cases) EXPECT_EQ(decodeTextLines(c.bytes), c.lines) << show(c.bytes);
}

// Each side of every length boundary of UTF-8, both ways: UTF-16 to the
// UTF-8 lines, UTF-8 back to UTF-16; the shortest forms only.
TEST(Utf8, EveryLengthBoundaryBothWays) {
  const struct {
    char32_t code;
    std::string utf8;
  } cases[] = {
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xFFFD, "\xEF\xBF\xBD"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& c : cases) {
    std::string unit;  // UTF-16 LE, a surrogate pair from U+10000 on
    const auto put = [&unit](char32_t u) {
      unit += static_cast<char>(u & 0xFF);
      unit += static_cast<char>(u >> 8);
    };
    if (c.code < 0x10000) {
      put(c.code);
    } else {
      put(0xD800 + ((c.code - 0x10000) >> 10));
      put(0xDC00 + ((c.code - 0x10000) & 0x3FF));
    }
    EXPECT_EQ(decodeUtf16Lines(unit), Lines{c.utf8})
        << std::hex << static_cast<std::uint32_t>(c.code);
    EXPECT_EQ(encodeUtf16(c.utf8), "\xFF\xFE" + unit)
        << std::hex << static_cast<std::uint32_t>(c.code);
  }
  // Longer forms than needed are no characters.
  for (const std::string overlong : {"\xC1\xBF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF"}) {
    EXPECT_EQ(decodeTextLines(overlong), std::nullopt) << show(overlong);
    EXPECT_EQ(encodeUtf16(overlong).substr(2, 2), "\xFD\xFF") << show(overlong);
  }
  EXPECT_EQ(decodeTextLines("\xF0\x90\x80\x80"), (Lines{"\xF0\x90\x80\x80"}));
}

class LanguageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("kurvana_lang_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }
  void write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  fs::path folder;
};

TEST_F(LanguageFiles, AShortFileKeepsEnglishForTheRest) {
  write(folder / "lang_xx.txt", utf16("Testisch\r\n Farbe\r\n Auto\r\n"));
  const auto read = readLanguageFile(folder / "lang_xx.txt");
  const auto* file = (read.language ? &*read.language : nullptr);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->name, "Testisch");
  InterfaceTexts texts;
  texts.languageTexts[20] = "left over from another language";
  applyLanguage(texts, *file);
  EXPECT_EQ(texts[TextId::kColorPicker], " Farbe");  // the leading space counts
  EXPECT_EQ(texts[TextId::kAutoScale], " Auto");
  EXPECT_EQ(texts[TextId::kFilled], " Filled graphic");
  EXPECT_EQ(texts[TextId::kMsgOverflow1], "calculation has generated an overflow error!");
}

TEST_F(LanguageFiles, WhatCountsAsALanguageFile) {
  std::string text = "Long\r\n";
  for (int i = 0; i < 50; ++i) text += "t" + std::to_string(i) + "\r\n";
  std::string largest = "Big\r\n" + std::string(kMaxLanguageFileBytes - 7, 'x') + "\r\n";
  const struct {
    std::string bytes;
    std::string name;  // empty: not a language file
    std::size_t texts;
  } cases[] = {
      {utf16(text), "Long", kTextCount},  // lines beyond the texts are ignored
      {"Deutsch", "Deutsch", 0},          // one line, no line end
      {utf16("Deutsch\r\n"), "Deutsch", 0},
      {largest, "Big", 1},  // exactly the limit
      {largest + "x", "", 0},
      {"", "", 0},
      {"\xFF\xFE", "", 0},
      {"\r\n Farbe\r\n", "", 0},  // nothing to pick in the list
      {utf16(" \t\r\n Farbe\r\n"), "", 0},
      {"Gr\xF6\xDF\r\n", "", 0},
  };
  for (const auto& c : cases) {
    write(folder / "lang_x.txt", c.bytes);
    const auto read = readLanguageFile(folder / "lang_x.txt");
    const auto* file = (read.language ? &*read.language : nullptr);
    if (c.name.empty()) {
      EXPECT_FALSE(read.language) << show(c.bytes);
      EXPECT_TRUE(read.status.ok()) << show(c.bytes);  // left out without a word
      continue;
    }
    ASSERT_NE(file, nullptr) << show(c.bytes);
    EXPECT_EQ(file->name, c.name) << show(c.bytes);
    EXPECT_EQ(file->texts.size(), c.texts) << show(c.bytes);
  }
}

TEST_F(LanguageFiles, ListedInAnyLetterCaseByFolderThenName) {
  const fs::path own = folder / "bin";
  const fs::path shared = folder / "share";
  fs::create_directories(own / "lang_dir.txt");  // a folder, not a file
  fs::create_directories(shared);
  const struct {
    const char* name;
    bool listed;
  } names[] = {
      {"LANG_DE.TXT", true},  {"Lang_Fr.Txt", true},     {"lang_.txt", true},
      {"lang_a.txt", true},   {"lang_x.txt.bak", false}, {"lang.txt", false},
      {"xlang_a.txt", false}, {"lang_a.text", false},
  };
  for (const auto& n : names) write(own / n.name, "");
  fs::create_symlink(own / "lang_a.txt", own / "lang_link.txt");
  fs::create_symlink(own / "gone.txt", own / "lang_gone.txt");
  fs::create_symlink(own / "lang_dir.txt", own / "lang_dirlink.txt");
  write(shared / "lang_a.txt", "");

  const auto found = listLanguageFiles({own, shared, folder / "none"});
  for (const auto& n : names) {
    EXPECT_EQ(std::find(found.begin(), found.end(), own / n.name) != found.end(), n.listed)
        << n.name;
  }
  EXPECT_EQ(found, (std::vector<fs::path>{own / "LANG_DE.TXT", own / "Lang_Fr.Txt",
                                          own / "lang_.txt", own / "lang_a.txt",
                                          own / "lang_link.txt", shared / "lang_a.txt"}));
}

// The total is checked with the sizes known before reading: exactly the cap
// is read whole; one byte over leaves out the file that crosses it and,
// unread, all after it, so a later file that cannot be read says nothing.
// A file over the single-file limit is skipped unread and counts nothing.
TEST_F(LanguageFiles, TheTotalCapLeavesOutTheFileThatCrossesItAndAllAfter) {
  const fs::path big = folder / "lang_0big.txt";
  const fs::path a = folder / "lang_a.txt";
  const fs::path b = folder / "lang_b.txt";
  const fs::path gone = folder / "lang_gone.txt";  // listed, then removed
  write(big, "Big\r\n" + std::string(kMaxLanguageFileBytes - 4, 'x'));
  write(a, utf16("Alpha\r\n A1\r\n"));
  write(b, "Beta\r\n B1\r\n");
  const std::uintmax_t sizeA = fs::file_size(a);
  const std::uintmax_t sizeB = fs::file_size(b);
  const std::string cannotRead = "Cannot read \"" + gone.string() + "\": No such file or directory";
  const auto leftOut = [](const fs::path& file, std::uintmax_t cap) {
    return "Language file \"" + file.string() +
           "\" and those after it are left out: all language files together may not exceed " +
           std::to_string(cap) + " bytes.";
  };
  const struct {
    std::uintmax_t cap;
    std::vector<std::string> names;
    std::vector<std::string> problems;
  } cases[] = {
      {sizeA + sizeB + 1, {"Alpha", "Beta"}, {cannotRead}},
      {sizeA + sizeB, {"Alpha", "Beta"}, {cannotRead}},
      {sizeA + sizeB - 1, {"Alpha"}, {leftOut(b, sizeA + sizeB - 1)}},
      {sizeA, {"Alpha"}, {leftOut(b, sizeA)}},
      {sizeA - 1, {}, {leftOut(a, sizeA - 1)}},
      {0, {}, {leftOut(a, 0)}},
  };
  for (const auto& c : cases) {
    const LanguageList list = readLanguageFiles({big, a, b, gone}, c.cap);
    std::vector<std::string> names;
    for (const auto& listed : list.languages) names.push_back(listed.language.name);
    EXPECT_EQ(names, c.names) << "cap " << c.cap;
    EXPECT_EQ(list.status.messages(), c.problems) << "cap " << c.cap;
  }
  const LanguageList whole = readLanguageFiles({a, b});
  ASSERT_EQ(whole.languages.size(), 2u);
  EXPECT_EQ(whole.languages[0].file, a);
  EXPECT_EQ(whole.languages[0].language.texts, (Lines{" A1"}));
  EXPECT_EQ(whole.languages[1].file, b);
  EXPECT_EQ(whole.languages[1].language.texts, (Lines{" B1"}));
}

// Files the cap leaves out are never opened: one the user may not read
// says so within the cap and nothing once it lies beyond; a file over the
// single-file limit is never opened either.
TEST_F(LanguageFiles, FilesLeftOutAreNeverOpened) {
  const fs::path big = folder / "lang_0big.txt";
  const fs::path a = folder / "lang_a.txt";
  const fs::path b = folder / "lang_b.txt";
  const fs::path locked = folder / "lang_locked.txt";
  write(big, std::string(kMaxLanguageFileBytes + 1, 'x'));
  write(a, "Alpha\r\n");
  write(b, "Beta\r\n");
  write(locked, "Locked\r\n");
  for (const fs::path& path : {big, locked}) ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  const std::uintmax_t all = fs::file_size(a) + fs::file_size(b) + fs::file_size(locked);
  const std::uintmax_t sizeA = fs::file_size(a);
  const auto seen = testing::asNobody([&] {
    std::string out;
    for (const std::uintmax_t cap : {all, sizeA}) {
      const LanguageList list = readLanguageFiles({big, a, b, locked}, cap);
      for (const std::string& problem : list.status.messages()) {
        out += "[" + problem + "]";
      }
      out += "|";
    }
    return out;
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  EXPECT_EQ(*seen, "[Cannot read \"" + locked.string() +
                       "\": Permission denied]|[Language file \"" + b.string() +
                       "\" and those after it are left out: all language files together may not "
                       "exceed " +
                       std::to_string(sizeA) + " bytes.]|");
}

TEST_F(LanguageFiles, TheProgramFolderComesBeforeTheInstalledOne) {
  EXPECT_EQ(languageFolders("/usr/local/bin/kurvana"),
            (std::vector<fs::path>{"/usr/local/bin", "/usr/local/share/kurvana"}));
}

// The window's catalogue goes by the language file's name: the code between
// "lang_" and ".txt" as written, then in lower case, in each folder.
TEST_F(LanguageFiles, TheWindowsCatalogueIsNamedByTheLanguageFilesCode) {
  const std::vector<fs::path> folders = {"/opt/k/bin", "/opt/k/share/kurvana"};
  const struct {
    const char* file;
    std::vector<fs::path> expected;
  } cases[] = {
      {"/x/lang_de.txt", {"/opt/k/bin/kurvana_de.qm", "/opt/k/share/kurvana/kurvana_de.qm"}},
      {"LANG_DE.TXT",
       {"/opt/k/bin/kurvana_DE.qm", "/opt/k/bin/kurvana_de.qm",
        "/opt/k/share/kurvana/kurvana_DE.qm", "/opt/k/share/kurvana/kurvana_de.qm"}},
      {"lang_pt_BR.txt",
       {"/opt/k/bin/kurvana_pt_BR.qm", "/opt/k/bin/kurvana_pt_br.qm",
        "/opt/k/share/kurvana/kurvana_pt_BR.qm", "/opt/k/share/kurvana/kurvana_pt_br.qm"}},
      {"lang_x.txt", {"/opt/k/bin/kurvana_x.qm", "/opt/k/share/kurvana/kurvana_x.qm"}},
      {"lang_.txt", {}},  // no code
      {"lang.txt", {}},
      {"lang_de.txt.bak", {}},
      {"kurvana_de.qm", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(translationFiles(c.file, folders), c.expected) << c.file;
  }
  EXPECT_EQ(translationFiles("lang_fr.txt", {}), std::vector<fs::path>{});
}

TEST_F(LanguageFiles, ChosenLanguageIsOneMarkedUtf16Line) {
  const fs::path path = folder / "Kurvana.lng";
  const auto missing = readChosenLanguage(path);
  EXPECT_EQ(missing.name, "");
  EXPECT_EQ(missing.status.message(), "");  // the first run says nothing
  ASSERT_EQ(writeChosenLanguage(path, "Français").message(), "");
  EXPECT_EQ(slurp(path), std::string("\xFF\xFE"
                                     "F\0r\0a\0n\0\xE7\0a\0i\0s\0\r\0\n\0",
                                     22));
  EXPECT_EQ(readChosenLanguage(path).name, "Français");
  for (const std::string& bytes : {utf16be("Français\r\n"), std::string("Français\r\nx")}) {
    write(path, bytes);
    EXPECT_EQ(readChosenLanguage(path).name, "Français") << show(bytes);
  }
  write(path, "Gr\xF6\xDF");
  EXPECT_EQ(readChosenLanguage(path).name, "");  // not text: no choice
  EXPECT_EQ(writeChosenLanguage(folder / "no" / "Kurvana.lng", "English").message(),
            "Cannot write \"" + (folder / "no" / "Kurvana.lng").string() +
                "\": No such file or directory");

  fs::remove(path);
  fs::create_directories(path);
  const auto folderInstead = readChosenLanguage(path);
  EXPECT_EQ(folderInstead.name, "");
  EXPECT_EQ(folderInstead.status.message(),
            "Cannot read \"" + path.string() + "\": it is a folder");
}

TEST_F(LanguageFiles, UnreadableFilesAreReportedByName) {
  const fs::path language = folder / "lang_de.txt";
  const fs::path chosen = folder / "Kurvana.lng";
  write(language, utf16("Deutsch\r\n"));
  write(chosen, utf16("Deutsch\r\n"));
  ASSERT_EQ(::chmod(language.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(chosen.c_str(), 0600), 0);
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
  const auto problems = testing::asNobody([&] {
    std::string found;
    const auto read = readLanguageFile(language);
    if (read.language ||
        read.status.message() != "Cannot read \"" + language.string() + "\": Permission denied") {
      found += "language file; ";
    }
    const auto choice = readChosenLanguage(chosen);
    if (!choice.name.empty() ||
        choice.status.message() != "Cannot read \"" + chosen.string() + "\": Permission denied") {
      found += "chosen language; ";
    }
    // Still listed: the message box is what tells the user about it.
    if (listLanguageFiles({folder}) != std::vector<fs::path>{language}) found += "list";
    return found;
  });
  ASSERT_TRUE(problems.has_value()) << "could not drop privileges";
  EXPECT_EQ(*problems, "");
}

TEST_F(LanguageFiles, ShippedTranslationsReadTheSameInEveryEncoding) {
  for (const char* name : {"lang_de.txt", "lang_fr.txt"}) {
    const auto read = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / name);
    const auto* shipped = (read.language ? &*read.language : nullptr);
    ASSERT_NE(shipped, nullptr) << name;
    ASSERT_EQ(shipped->texts.size(), kTextCount) << name;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shipped->texts[i].front(), ' ') << name << i;
    for (const auto& text : shipped->texts) EXPECT_FALSE(text.empty()) << name;
    std::string text = shipped->name + "\r\n";
    for (const auto& line : shipped->texts) text += line + "\r\n";
    for (const std::string& variant :
         {utf16(text, false), utf16be(text), utf16be(text, false), "\xEF\xBB\xBF" + text, text}) {
      write(folder / name, variant);
      const auto again = readLanguageFile(folder / name);
      const auto* file = (again.language ? &*again.language : nullptr);
      ASSERT_NE(file, nullptr) << name << ' ' << show(variant);
      EXPECT_EQ(file->name, shipped->name) << name << ' ' << show(variant);
      EXPECT_EQ(file->texts, shipped->texts) << name << ' ' << show(variant);
    }
  }
  const auto german = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / "lang_de.txt");
  EXPECT_EQ(german.language.value().name, "Deutsch");
  EXPECT_EQ(german.language.value().texts[static_cast<std::size_t>(TextId::kMsgSyntax1)],
            "Bitte prüfen Sie die Syntax der Funktion");
  const auto french = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / "lang_fr.txt");
  EXPECT_EQ(french.language.value().name, "Français");
}

}  // namespace
}  // namespace kurvana
