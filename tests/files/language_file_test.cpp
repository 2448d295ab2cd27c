// Translation files and the chosen-language file: decoding UTF-16 in every
// line-end style, partial and damaged files, and the shipped translations.
#include "files/language_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace kurvana {
namespace {

namespace fs = std::filesystem;

// UTF-8 text as UTF-16 LE, optionally without the mark.
std::string utf16(const std::string& text, bool mark = true) {
  const std::string encoded = encodeUtf16(text);
  return mark ? encoded : encoded.substr(2);
}

TEST(Utf16Lines, EveryLineEndAndTheMark) {
  EXPECT_EQ(decodeUtf16Lines(utf16("a\r\nb\nc\rd")),
            (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(decodeUtf16Lines(utf16("one\r\n", false)), (std::vector<std::string>{"one"}));
  EXPECT_EQ(decodeUtf16Lines(utf16("\r\n\r\nx")), (std::vector<std::string>{"", "", "x"}));
  EXPECT_EQ(decodeUtf16Lines(utf16(" Größe € 𝑥")), (std::vector<std::string>{" Größe € 𝑥"}));
}

TEST(Utf16Lines, DamagedInputDecodesWithoutHarm) {
  // An unpaired high surrogate, then an odd trailing byte.
  const std::string bytes = std::string(
                                "\xFF\xFE"
                                "A\0\x00\xD8"
                                "B\0",
                                8) +
                            "\x41";
  EXPECT_EQ(decodeUtf16Lines(bytes), (std::vector<std::string>{"A\xEF\xBF\xBD"
                                                               "B"}));
  std::mt19937 rng(9);
  for (int i = 0; i < 300; ++i) {
    std::string random(rng() % 300, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    decodeUtf16Lines(random);
    encodeUtf16(random);
  }
  EXPECT_EQ(encodeUtf16("\xC3"), std::string("\xFF\xFE\xFD\xFF", 4));  // cut sequence
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
  const auto file = readLanguageFile(folder / "lang_xx.txt");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->name, "Testisch");
  InterfaceTexts texts;
  texts.languageTexts[20] = "left over from another language";
  applyLanguage(texts, *file);
  EXPECT_EQ(texts[TextId::kColorPicker], " Farbe");  // the leading space counts
  EXPECT_EQ(texts[TextId::kAutoScale], " Auto");
  EXPECT_EQ(texts[TextId::kFilled], " Filled graphic");
  EXPECT_EQ(texts[TextId::kMsgOverflow1], "calculation has generated an overflow error!");
}

TEST_F(LanguageFiles, LinesBeyondTheTextsAreIgnored) {
  std::string text = "Long\r\n";
  for (int i = 0; i < 50; ++i) text += "t" + std::to_string(i) + "\r\n";
  write(folder / "lang_long.txt", utf16(text));
  const auto file = readLanguageFile(folder / "lang_long.txt");
  ASSERT_TRUE(file.has_value());
  EXPECT_EQ(file->texts.size(), kTextCount);
  EXPECT_EQ(file->texts.back(), "t34");
}

TEST_F(LanguageFiles, AUtf8FileIsReadAsGarbageNotACrash) {
  write(folder / "lang_u8.txt", "Deutsch\r\n Farbe\r\n");
  const auto file = readLanguageFile(folder / "lang_u8.txt");
  ASSERT_TRUE(file.has_value());
  InterfaceTexts texts;
  applyLanguage(texts, *file);
  EXPECT_EQ(texts[TextId::kMsgRange1], "The minimum value of the function's argument");
  std::string error;
  EXPECT_FALSE(readLanguageFile(folder / "missing.txt", &error).has_value());
  EXPECT_NE(error.find("missing.txt"), std::string::npos);
}

TEST_F(LanguageFiles, ListedByFolderThenName) {
  const fs::path own = folder / "bin";
  const fs::path shared = folder / "share";
  fs::create_directories(own);
  fs::create_directories(shared / "lang_dir.txt");  // a folder, not a file
  write(own / "lang_b.txt", "");
  write(own / "lang_a.txt", "");
  write(own / "notes.txt", "");
  write(shared / "lang_a.txt", "");
  EXPECT_EQ(listLanguageFiles({own, shared, folder / "none"}),
            (std::vector<fs::path>{own / "lang_a.txt", own / "lang_b.txt", shared / "lang_a.txt"}));
}

TEST_F(LanguageFiles, TheProgramFolderComesBeforeTheInstalledOne) {
  EXPECT_EQ(languageFolders("/usr/local/bin/kurvana"),
            (std::vector<fs::path>{"/usr/local/bin", "/usr/local/share/kurvana"}));
}

TEST_F(LanguageFiles, ChosenLanguageIsOneMarkedUtf16Line) {
  const fs::path path = folder / "Kurvana.lng";
  EXPECT_EQ(readChosenLanguage(path), "");
  ASSERT_EQ(writeChosenLanguage(path, "Français"), "");
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), std::string("\xFF\xFE"
                                     "F\0r\0a\0n\0\xE7\0a\0i\0s\0\r\0\n\0",
                                     22));
  EXPECT_EQ(readChosenLanguage(path), "Français");
  EXPECT_NE(writeChosenLanguage(folder / "no" / "Kurvana.lng", "English"), "");
}

TEST(ShippedTranslations, CompleteAndMessagesComposeRight) {
  for (const char* name : {"lang_de.txt", "lang_fr.txt"}) {
    const auto file = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / name);
    ASSERT_TRUE(file.has_value()) << name;
    EXPECT_EQ(file->texts.size(), kTextCount) << name;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(file->texts[i].front(), ' ') << name << i;
    for (const auto& text : file->texts) EXPECT_FALSE(text.empty()) << name;
  }
  const auto german = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / "lang_de.txt");
  EXPECT_EQ(german->name, "Deutsch");
  EXPECT_EQ(german->texts[static_cast<std::size_t>(TextId::kMsgSyntax1)] + " F(x)",
            "Bitte prüfen Sie die Syntax der Funktion F(x)");
  const auto french = readLanguageFile(fs::path(KURVANA_ASSETS_DIR) / "lang_fr.txt");
  EXPECT_EQ(french->name, "Français");
}

}  // namespace
}  // namespace kurvana
