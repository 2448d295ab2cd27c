// The formula history: recording, loading and the history button.
#include "files/history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/as_other_user.h"
#include "plot/fields.h"
#include "support/fault_injection.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

// The two formula fields, and the beeps of a history button with nothing to
// show, as the window keeps them.
struct FormulaFields {
  std::map<Field, std::string> texts;
  int beeps = 0;
};

class History : public ::testing::Test {
 protected:
  void SetUp() override {
    view.texts[Field::kFormulaF] = "F(x)=";
    view.texts[Field::kFormulaG] = "G(x)=";
  }
  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }

  testing::TemporaryFolder temp{"hist"};
  const fs::path folder = temp.path();
  FormulaHistory history;
  // Loads the mode's lists and, when asked, shows the newest entries as the
  // window does; the message, empty when there is none.
  std::string load(FormulaHistory& h, bool two, bool fill) {
    LoadedHistory loaded = loadHistory(h, folder, two);
    if (fill) {
      view.texts[Field::kFormulaF] = loaded.newest.f;
      if (two) view.texts[Field::kFormulaG] = loaded.newest.g;
    } else {
      EXPECT_EQ(loaded.newest.g.empty(), !two);
    }
    return loaded.status.message();
  }
  // The history button.
  void next(FormulaHistory& h, bool two) {
    const HistoryFormulas shown{view.texts[Field::kFormulaF],
                                two ? view.texts[Field::kFormulaG] : std::string()};
    const auto found = nextHistoryFormula(h, two, shown);
    if (!found) {
      ++view.beeps;
      return;
    }
    EXPECT_TRUE(two || found->g.empty());
    view.texts[Field::kFormulaF] = found->f;
    if (two) view.texts[Field::kFormulaG] = found->g;
  }

  FormulaFields view;
};

TEST_F(History, RecordingComparesOnlyTheNewestIgnoringCase) {
  EXPECT_EQ(recordHistory(history, folder, "F(x)=SIN(X)", nullptr).message(), "");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=sin(x)", nullptr).message(), "");
  EXPECT_EQ(history.historyF[1], "");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=x", nullptr).message(), "");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=sin(x)", nullptr).message(), "");
  EXPECT_EQ(history.historyF[0], "F(x)=sin(x)");
  EXPECT_EQ(history.historyF[1], "F(x)=x");
  EXPECT_EQ(history.historyF[2], "F(x)=SIN(X)");
  EXPECT_EQ(slurp(historyFile(folder, 1)),
            "F(x)=sin(x)\r\nF(x)=x\r\nF(x)=SIN(X)\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(recordHistory(history, folder, "F(x)=" + std::to_string(i), nullptr).message(), "");
  }
  EXPECT_EQ(history.historyF[9], "F(x)=2");  // the oldest dropped
}

TEST_F(History, TwoFunctionListsMoveInStep) {
  const std::string g = "G(x)=sin(x)";
  EXPECT_EQ(recordHistory(history, folder, "F(x)=cos(x)", &g).message(), "");
  recordHistory(history, folder, "F(x)=COS(X)", &g).message();  // both equal the newest
  EXPECT_EQ(history.historyF2[1], "");
  const std::string g2 = "G(x)=sin(2*x)";
  EXPECT_EQ(recordHistory(history, folder, "F(x)=cos(x)", &g2).message(), "");
  EXPECT_EQ(history.historyF2[1], "F(x)=cos(x)");
  EXPECT_EQ(history.historyG2[0], g2);
  EXPECT_EQ(slurp(historyFile(folder, 3)).substr(0, 30), "G(x)=sin(2*x)\r\nG(x)=sin(x)\r\n\r\n");
  EXPECT_FALSE(fs::exists(historyFile(folder, 1)));
}

TEST_F(History, LoadingFillsTheFieldsOrTheBareLabels) {
  EXPECT_EQ(load(history, false, true), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=");
  std::ofstream(historyFile(folder, 1), std::ios::binary) << "F(x)=x^2\nF(x)=x\r\n";
  std::ofstream(historyFile(folder, 2), std::ios::binary) << "\r\nF(x)=t\r\n";
  std::ofstream(historyFile(folder, 3), std::ios::binary) << "\r\nG(x)=t\r\n";
  history.historyIndex = 7;
  EXPECT_EQ(load(history, false, true), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=x^2");
  EXPECT_EQ(history.historyF[1], "F(x)=x");
  EXPECT_EQ(history.historyIndex, 2);
  EXPECT_EQ(load(history, true, true), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=");  // entry 1 is empty
  EXPECT_EQ(view.texts[Field::kFormulaG], "G(x)=");
  EXPECT_EQ(history.historyF2[1], "F(x)=t");
  EXPECT_EQ(history.historyG2[1], "G(x)=t");
}

TEST_F(History, TheButtonSkipsEmptyAndEqualEntries) {
  history.historyF[0] = "F(x)=X^2";
  history.historyF[1] = "F(x)=X";
  view.texts[Field::kFormulaF] = "F(x)=X^2";
  history.historyIndex = 2;
  next(history, false);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=X");
  next(history, false);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=X^2");
  EXPECT_EQ(view.beeps, 0);

  FormulaHistory empty;
  next(empty, false);
  EXPECT_EQ(view.beeps, 1);
  EXPECT_EQ(empty.historyIndex, 3);  // eleven advances from 2: once round and one more
}

TEST_F(History, TheButtonRestoresBothFormulasTogether) {
  history.historyF2[1] = "F(x)=cos(x)";
  history.historyG2[1] = "";
  view.texts[Field::kFormulaF] = "F(x)=x";
  next(history, true);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=cos(x)");
  EXPECT_EQ(view.texts[Field::kFormulaG], "");  // copied even when empty
}

TEST_F(History, AFailedWriteIsReported) {
  const fs::path missing = folder / "gone";
  EXPECT_EQ(
      recordHistory(history, missing, "F(x)=x", nullptr).message(),
      "Cannot write \"" + (missing / "Kurvana.lst").string() + "\": No such file or directory");
}

// Ten CR LF lines holding `entries` first.
std::string tenLines(const std::vector<std::string>& entries) {
  std::string text;
  for (std::size_t i = 0; i < kHistorySize; ++i) {
    text += (i < entries.size() ? entries[i] : std::string()) + "\r\n";
  }
  return text;
}

std::string cannotRead(const fs::path& path) {
  return "Cannot read \"" + path.string() +
         "\": Permission denied. Formulas are not added to this history until it can be read.";
}

TEST_F(History, AnUnreadableFileIsNotRecordedIntoUntilItCanBeReadAgain) {
  const fs::path file = historyFile(folder, 1);
  const std::string old = tenLines({"F(x)=old1", "F(x)=old2"});
  testing::writeWhole(file, old);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  ASSERT_TRUE(testing::giveToNobody(file, 0200));  // the user may write it, not read it
  const auto seen = testing::asNobody([&] {
    std::string out = load(history, false, true) + "|";
    out += view.texts[Field::kFormulaF] + "|";
    out += recordHistory(history, folder, "F(x)=a", nullptr).message() + "|";
    out += recordHistory(history, folder, "F(x)=b", nullptr).message() + "|";
    out += history.historyF[0] + "|";
    ::chmod(file.c_str(), 0600);
    out += testing::readWhole(file) + "|";  // as it was while unreadable
    return out + recordHistory(history, folder, "F(x)=c", nullptr).message();
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  // Reported once, by the load; the Draws after it record nothing and say nothing.
  EXPECT_EQ(*seen, cannotRead(file) + "|F(x)=||||" + old + "|");
  // Readable again: read first, so its entries are kept under the new one.
  EXPECT_EQ(slurp(file), tenLines({"F(x)=c", "F(x)=old1", "F(x)=old2"}));
}

TEST_F(History, RecordingIsTheFirstToMeetAnUnreadableFileAndReportsIt) {
  const fs::path file = historyFile(folder, 1);
  const std::string old = tenLines({"F(x)=old"});
  testing::writeWhole(file, old);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  ASSERT_TRUE(testing::giveToNobody(file, 0200));
  history.files[0].unreadable = "not read yet";  // a load that failed and was not shown
  const auto seen = testing::asNobody([&] {
    std::string out = recordHistory(history, folder, "F(x)=a", nullptr).message() + "|";
    return out + recordHistory(history, folder, "F(x)=b", nullptr).message();
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  EXPECT_EQ(*seen, cannotRead(file) + "|");
  EXPECT_EQ(slurp(file), old);
}

TEST_F(History, AnUnreadableHalfOfThePairHoldsBothBack) {
  const fs::path f = historyFile(folder, 2);
  const fs::path g = historyFile(folder, 3);
  testing::writeWhole(f, tenLines({"F(x)=f2", "F(x)=f1"}));
  testing::writeWhole(g, tenLines({"G(x)=g2", "G(x)=g1"}));
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  ASSERT_TRUE(testing::giveToNobody(f, 0644));
  ASSERT_TRUE(testing::giveToNobody(g, 0200));
  const std::string ga = "G(x)=a";
  const auto seen = testing::asNobody([&] {
    std::string out = load(history, true, true) + "|";
    out += history.historyF2[0] + "|" + view.texts[Field::kFormulaF] + "|";
    out += recordHistory(history, folder, "F(x)=a", &ga).message() + "|";
    ::chmod(g.c_str(), 0600);
    return out + recordHistory(history, folder, "F(x)=a", &ga).message();
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  EXPECT_EQ(*seen, cannotRead(g) + "||F(x)=||");
  EXPECT_EQ(slurp(f), tenLines({"F(x)=a", "F(x)=f2", "F(x)=f1"}));
  EXPECT_EQ(slurp(g), tenLines({"G(x)=a", "G(x)=g2", "G(x)=g1"}));
}

TEST_F(History, APairThatCannotBeWrittenWholeIsNotWrittenAtAll) {
  // Kurvana3.lst lives in a folder the user may not change.
  const fs::path f = historyFile(folder, 2);
  const fs::path g = historyFile(folder, 3);
  const fs::path elsewhere = folder / "elsewhere";
  testing::writeWhole(f, tenLines({"F(x)=f1"}));
  testing::writeWhole(elsewhere / "Kurvana3.lst", tenLines({"G(x)=g1"}));
  fs::create_symlink(elsewhere / "Kurvana3.lst", g);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  ASSERT_TRUE(testing::giveToNobody(f, 0644));
  ASSERT_TRUE(testing::giveToNobody(elsewhere / "Kurvana3.lst", 0644));
  ASSERT_EQ(::chmod(elsewhere.c_str(), 0755), 0);  // root's
  const std::string ga = "G(x)=a";
  const auto seen = testing::asNobody([&] {
    std::string out = load(history, true, true) + "|";
    return out + recordHistory(history, folder, "F(x)=a", &ga).message();
  });
  ASSERT_TRUE(seen.has_value()) << "could not drop privileges";
  EXPECT_EQ(*seen, "|Cannot write \"" + g.string() + "\": Permission denied");
  EXPECT_EQ(slurp(f), tenLines({"F(x)=f1"}));
  FormulaHistory loaded;
  EXPECT_EQ(load(loaded, true, false), "");
  EXPECT_EQ(loaded.historyF2[0], "F(x)=f1");
  EXPECT_EQ(loaded.historyG2[0], "G(x)=g1");
}

TEST_F(History, AFailedRenameOfTheSecondFilePutsTheFirstBack) {
  const fs::path f = historyFile(folder, 2);
  const fs::path g = historyFile(folder, 3);
  testing::writeWhole(f, tenLines({"F(x)=f1"}));
  testing::writeWhole(g, tenLines({"G(x)=g1"}));
  EXPECT_EQ(load(history, true, true), "");
  const std::string ga = "G(x)=a";
  {
    // Only the rename over Kurvana3.lst fails, after Kurvana2.lst was replaced.
    const testing::InjectedFault fault({"rename", "/Kurvana3.lst", EIO});
    EXPECT_EQ(recordHistory(history, folder, "F(x)=a", &ga).message(),
              "Cannot write \"" + g.string() + "\": Input/output error; \"" + f.string() +
                  "\" was put back as it was");
  }
  EXPECT_EQ(slurp(f), tenLines({"F(x)=f1"}));
  EXPECT_EQ(slurp(g), tenLines({"G(x)=g1"}));
  // The next Draw records both, in step.
  EXPECT_EQ(recordHistory(history, folder, "F(x)=a", &ga).message(), "");
  EXPECT_EQ(slurp(f), tenLines({"F(x)=a", "F(x)=f1"}));
  EXPECT_EQ(slurp(g), tenLines({"G(x)=a", "G(x)=g1"}));
  // A folder in the place of one half: nothing is recorded into either.
  fs::remove(g);
  fs::create_directories(g / "inside");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=b", &ga).message(),
            "Cannot read \"" + g.string() +
                "\": it is a folder. Formulas are not added to this history until it can be read.");
  EXPECT_EQ(slurp(f), tenLines({"F(x)=a", "F(x)=f1"}));
}

TEST_F(History, TwoWindowsRecordOnTopOfEachOther) {
  FormulaHistory other;
  EXPECT_EQ(load(history, false, true), "");
  EXPECT_EQ(load(other, false, true), "");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=one", nullptr).message(), "");
  EXPECT_EQ(recordHistory(other, folder, "F(x)=two", nullptr).message(),
            "");  // knew nothing of one
  EXPECT_EQ(recordHistory(history, folder, "F(x)=three", nullptr).message(), "");
  EXPECT_EQ(slurp(historyFile(folder, 1)), tenLines({"F(x)=three", "F(x)=two", "F(x)=one"}));
  EXPECT_EQ(history.historyF[1], "F(x)=two");  // the list follows the file
  // The pair the same way.
  const std::string g1 = "G(x)=g1", g2 = "G(x)=g2";
  EXPECT_EQ(recordHistory(history, folder, "F(x)=f1", &g1).message(), "");
  EXPECT_EQ(recordHistory(other, folder, "F(x)=f2", &g2).message(), "");
  EXPECT_EQ(slurp(historyFile(folder, 2)), tenLines({"F(x)=f2", "F(x)=f1"}));
  EXPECT_EQ(slurp(historyFile(folder, 3)), tenLines({"G(x)=g2", "G(x)=g1"}));
}

TEST_F(History, ProcessesRecordingAtOnceLoseNothing) {
  // Four programs draw five formulas each as fast as they can; every Draw
  // reads, pushes and rewrites the list, so without the lock one program's
  // rewrite would drop what another recorded in between.
  constexpr int kWriters = 4;
  constexpr int kEach = 5;
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      FormulaHistory own;
      bool ok = true;
      for (int k = 0; k < kEach; ++k) {
        const std::string f = "F(x)=" + std::to_string(w) + "*" + std::to_string(k);
        const std::string g = "G(x)=" + std::to_string(w) + "*" + std::to_string(k);
        ok = ok && recordHistory(own, folder, f, nullptr).ok() &&
             recordHistory(own, folder, f, &g).ok();
      }
      ::_exit(ok ? 0 : 1);
    }
    children.push_back(child);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  // 20 formulas recorded, 10 kept: the newest ten, all different, each
  // program's in the order it drew them; the pair in step.
  FormulaHistory loaded;
  EXPECT_EQ(load(loaded, false, false), "");
  EXPECT_EQ(load(loaded, true, false), "");
  std::map<std::string, int> seen;
  std::map<int, int> lastStep;  // per program, the step of the entry below
  for (std::size_t i = kHistorySize; i-- > 0;) {
    const std::string& entry = loaded.historyF[i];
    ASSERT_EQ(entry.substr(0, 5), "F(x)=") << i;
    EXPECT_EQ(++seen[entry], 1) << entry;
    const int w = entry[5] - '0';
    const int k = entry[7] - '0';
    if (lastStep.count(w) != 0) {
      EXPECT_GT(k, lastStep[w]) << entry;
    }
    lastStep[w] = k;
    EXPECT_EQ(loaded.historyG2[i], "G" + loaded.historyF2[i].substr(1)) << i;
  }
  EXPECT_EQ(seen.size(), static_cast<std::size_t>(kHistorySize));
}

TEST_F(History, AFileThatIsNoHistoryIsNeitherReadNorReplaced) {
  const fs::path file = historyFile(folder, 1);
  const std::string suffix = ". Formulas are not added to this history until it can be read.";
  // Exactly the cap is still a history (of one very long line).
  std::string largest = std::string((1 << 20) - 2, 'x') + "\r\n";
  testing::writeWhole(file, largest);
  EXPECT_EQ(load(history, false, true), "");
  EXPECT_EQ(history.historyF[0].size(), (1u << 20) - 2);
  // One byte more is not: reported, and left as it is by the next Draw.
  largest.insert(0, "y");
  testing::writeWhole(file, largest);
  EXPECT_EQ(load(history, false, true),
            "Cannot read \"" + file.string() + "\": it is larger than 1 MiB" + suffix);
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=");
  EXPECT_EQ(recordHistory(history, folder, "F(x)=x", nullptr).message(), "");
  EXPECT_EQ(slurp(file), largest);

  // A named pipe, which would block an ordinary reader for ever.
  fs::remove(file);
  ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
  const auto said = testing::withinSeconds(20, [&] {
    FormulaHistory fresh;
    const std::string loaded = load(fresh, false, true);
    return loaded + "|" + recordHistory(fresh, folder, "F(x)=x", nullptr).message();
  });
  ASSERT_TRUE(said.has_value()) << "the history reader blocked";
  EXPECT_EQ(*said, "Cannot read \"" + file.string() + "\": it is a named pipe" + suffix + "|");
  EXPECT_TRUE(fs::is_fifo(file));
}

TEST_F(History, APairCutShortLoadsInStep) {
  // Kurvana2.lst got the newest drawing, Kurvana3.lst did not.
  testing::writeWhole(historyFile(folder, 2), tenLines({"F(x)=f3", "F(x)=f2", "F(x)=f1"}));
  testing::writeWhole(historyFile(folder, 3), tenLines({"G(x)=g2", "G(x)=g1"}));
  EXPECT_EQ(load(history, true, true), "");
  EXPECT_EQ(view.texts[Field::kFormulaF], "F(x)=f2");
  EXPECT_EQ(view.texts[Field::kFormulaG], "G(x)=g2");
  EXPECT_EQ(history.historyF2[1], "F(x)=f1");
  EXPECT_EQ(history.historyF2[2], "");
  // The other way round, and a missing partner.
  testing::writeWhole(historyFile(folder, 3), tenLines({"G(x)=g3", "G(x)=g2", "G(x)=g1"}));
  testing::writeWhole(historyFile(folder, 2), tenLines({"F(x)=f1"}));
  EXPECT_EQ(load(history, true, true), "");
  EXPECT_EQ(history.historyG2[0], "G(x)=g1");
  EXPECT_EQ(history.historyG2[1], "");
  fs::remove(historyFile(folder, 2));
  EXPECT_EQ(load(history, true, true), "");
  EXPECT_EQ(history.historyG2[0], "");
  const std::string ga = "G(x)=a";
  EXPECT_EQ(recordHistory(history, folder, "F(x)=a", &ga).message(), "");
  EXPECT_EQ(slurp(historyFile(folder, 2)), tenLines({"F(x)=a"}));
  EXPECT_EQ(slurp(historyFile(folder, 3)), tenLines({"G(x)=a"}));
}

}  // namespace
}  // namespace kurvana
