// Replacing a file: links are written through, permissions are kept.
#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class AtomicWrite : public ::testing::Test {
 protected:
  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }
  static unsigned modeOf(const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  testing::TemporaryFolder temp{"atomic"};
  const fs::path folder = temp.path();
};

TEST_F(AtomicWrite, AChainOfLinksIsWrittenThroughToTheLastTarget) {
  fs::create_directories(folder / "real");
  std::ofstream(folder / "real/settings") << "old";
  fs::create_symlink("real/settings", folder / "middle");  // relative to the link's folder
  fs::create_symlink(folder / "middle", folder / "link");
  EXPECT_EQ(writeFileAtomically(folder / "link", "new"), "");
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_TRUE(fs::is_symlink(folder / "middle"));
  EXPECT_EQ(slurp(folder / "real/settings"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 1);
}

TEST_F(AtomicWrite, AReplacedFileKeepsItsPermissions) {
  const fs::path file = folder / "private.kv1";
  std::ofstream(file) << "old";
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  EXPECT_EQ(writeFileAtomically(file, "new"), "");
  EXPECT_EQ(modeOf(file), 0600u);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  EXPECT_EQ(writeFileAtomically(file, "newer"), "");
  EXPECT_EQ(modeOf(file), 0664u);
  EXPECT_EQ(slurp(file), "newer");
}

TEST_F(AtomicWrite, MessagesNameThePathAsGiven) {
  fs::create_symlink(folder / "missing/target", folder / "dangling");
  const std::string problem = writeFileAtomically(folder / "dangling", "x");
  EXPECT_NE(problem.find((folder / "dangling").string()), std::string::npos) << problem;
}

}  // namespace
}  // namespace kurvana
