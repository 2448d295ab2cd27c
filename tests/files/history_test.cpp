// The data folder and the formula history: recording, loading and the
// history button.
#include "files/history.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "plot/fake_view.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    view.texts[Field::kFormulaF] = "F(x)=";
    view.texts[Field::kFormulaG] = "G(x)=";
  }
  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }
  Environment env(std::map<std::string, std::string> vars) {
    environment = std::move(vars);
    return testing::environmentOf(environment);
  }

  testing::TemporaryFolder temp{"hist"};
  const fs::path folder = temp.path();
  FormulaHistory history;
  testing::FakeView view;
  std::map<std::string, std::string> environment;
};

TEST_F(History, DataFolderUnderTheDocumentsFolder) {
  const auto made = dataFolder(env({{"HOME", folder.string()}}));
  ASSERT_TRUE(made.has_value());
  EXPECT_EQ(*made, folder / "Documents" / "Talvoren" / "Kurvana");
  EXPECT_TRUE(fs::is_directory(*made));

  fs::create_directories(folder / "cfg");
  std::ofstream(folder / "cfg" / "user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
  EXPECT_EQ(documentsFolder(
                env({{"HOME", folder.string()}, {"XDG_CONFIG_HOME", (folder / "cfg").string()}})),
            folder / "Dokumente");
  EXPECT_FALSE(dataFolder(env({})).has_value());
  std::ofstream(folder / "file") << "x";  // a file where a folder should go
  EXPECT_FALSE(dataFolder(env({{"HOME", (folder / "file").string()}})).has_value());
}

TEST_F(History, RecordingComparesOnlyTheNewestIgnoringCase) {
  EXPECT_EQ(recordHistory(history, folder, "F(x)=SIN(X)", nullptr), "");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=sin(x)", nullptr), "");
  EXPECT_EQ(history.historyF[1], "");
  recordHistory(history, folder, "F(x)=x", nullptr);
  recordHistory(history, folder, "F(x)=sin(x)", nullptr);
  EXPECT_EQ(history.historyF[0], "F(x)=sin(x)");
  EXPECT_EQ(history.historyF[1], "F(x)=x");
  EXPECT_EQ(history.historyF[2], "F(x)=SIN(X)");
  EXPECT_EQ(slurp(historyFile(folder, 1)),
            "F(x)=sin(x)\r\nF(x)=x\r\nF(x)=SIN(X)\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  for (int i = 0; i < 12; ++i) recordHistory(history, folder, "F(x)=" + std::to_string(i), nullptr);
  EXPECT_EQ(history.historyF[9], "F(x)=2");  // the oldest dropped
}

TEST_F(History, TwoFunctionListsMoveInStep) {
  const std::string g = "G(x)=sin(x)";
  recordHistory(history, folder, "F(x)=cos(x)", &g);
  recordHistory(history, folder, "F(x)=COS(X)", &g);  // both equal the newest
  EXPECT_EQ(history.historyF2[1], "");
  const std::string g2 = "G(x)=sin(2*x)";
  recordHistory(history, folder, "F(x)=cos(x)", &g2);
  EXPECT_EQ(history.historyF2[1], "F(x)=cos(x)");
  EXPECT_EQ(history.historyG2[0], g2);
  EXPECT_EQ(slurp(historyFile(folder, 3)).substr(0, 30), "G(x)=sin(2*x)\r\nG(x)=sin(x)\r\n\r\n");
  EXPECT_FALSE(fs::exists(historyFile(folder, 1)));
}

TEST_F(History, LoadingFillsTheFieldsOrTheBareLabels) {
  loadHistory(history, folder, false, view, true);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=");
  std::ofstream(historyFile(folder, 1), std::ios::binary) << "F(x)=x^2\nF(x)=x\r\n";
  std::ofstream(historyFile(folder, 2), std::ios::binary) << "\r\nF(x)=t\r\n";
  history.historyIndex = 7;
  loadHistory(history, folder, false, view, true);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=x^2");
  EXPECT_EQ(history.historyF[1], "F(x)=x");
  EXPECT_EQ(history.historyIndex, 2);
  loadHistory(history, folder, true, view, true);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=");  // entry 1 is empty
  EXPECT_EQ(view.texts[Field::kFormulaG], "G(x)=");  // no file
  EXPECT_EQ(history.historyF2[1], "F(x)=t");
}

TEST_F(History, TheButtonSkipsEmptyAndEqualEntries) {
  history.historyF[0] = "F(x)=X^2";
  history.historyF[1] = "F(x)=X";
  view.texts[Field::kFormulaF] = "F(x)=X^2";
  history.historyIndex = 2;
  nextHistoryFormula(history, false, view);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=X");
  nextHistoryFormula(history, false, view);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=X^2");
  EXPECT_EQ(view.beeps, 0);

  FormulaHistory empty;
  nextHistoryFormula(empty, false, view);
  EXPECT_EQ(view.beeps, 1);
  EXPECT_EQ(empty.historyIndex, 3);  // eleven advances from 2: once round and one more
}

TEST_F(History, TheButtonRestoresBothFormulasTogether) {
  history.historyF2[1] = "F(x)=cos(x)";
  history.historyG2[1] = "";
  view.texts[Field::kFormulaF] = "F(x)=x";
  nextHistoryFormula(history, true, view);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=cos(x)");
  EXPECT_EQ(view.texts[Field::kFormulaG], "");  // copied even when empty
}

TEST_F(History, AFailedWriteIsReported) {
  const fs::path missing = folder / "gone";
  EXPECT_NE(recordHistory(history, missing, "F(x)=x", nullptr), "");
}

}  // namespace
}  // namespace kurvana
