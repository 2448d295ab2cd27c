// The report file: its lines with CR LF ends, written whole or not at all.
#include "files/report_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

TEST(ReportFile, LinesEndInCrLfAndNothingElseIsAdded) {
  testing::TemporaryFolder temp{"report"};
  const fs::path path = temp.path() / std::string(kReportFileName);
  ASSERT_EQ(writeReport(path, {"Function formula:", "F(x)=x", " ", "#1 = 0"}).message(), "");
  EXPECT_EQ(testing::readWhole(path), "Function formula:\r\nF(x)=x\r\n \r\n#1 = 0\r\n");
  ASSERT_EQ(writeReport(path, {}).message(), "");
  EXPECT_EQ(testing::readWhole(path), "");
}

TEST(ReportFile, AFailedWriteLeavesTheOldReportAndSaysWhy) {
  testing::TemporaryFolder temp{"report"};
  const fs::path path = temp.path() / "missing" / "kvreport.txt";
  EXPECT_EQ(writeReport(path, {"F(x)=x"}).message(),
            "Cannot write \"" + path.string() + "\": No such file or directory");
  const fs::path folderInstead = temp.path() / "kvreport.txt";
  fs::create_directories(folderInstead);
  EXPECT_EQ(writeReport(folderInstead, {"F(x)=x"}).message(),
            "Cannot write \"" + folderInstead.string() + "\": it is a folder, not replaced");
  EXPECT_TRUE(fs::is_directory(folderInstead));
}

}  // namespace
}  // namespace kurvana
