// Replacing a file: links are written through, permissions, owner and group
// are kept, a file the user may not write is refused, and files written
// together change together.
#include "files/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "files/as_other_user.h"
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
  EXPECT_EQ(writeFileAtomically(folder / "link", "new").message(), "");
  EXPECT_TRUE(fs::is_symlink(folder / "link"));
  EXPECT_TRUE(fs::is_symlink(folder / "middle"));
  EXPECT_EQ(slurp(folder / "real/settings"), "new");
  EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), fs::directory_iterator()), 1);
}

TEST_F(AtomicWrite, AReplacedFileKeepsItsPermissions) {
  const fs::path file = folder / "private.kv1";
  std::ofstream(file) << "old";
  ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
  EXPECT_EQ(writeFileAtomically(file, "new").message(), "");
  EXPECT_EQ(modeOf(file), 0600u);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  EXPECT_EQ(writeFileAtomically(file, "newer").message(), "");
  EXPECT_EQ(modeOf(file), 0664u);
  EXPECT_EQ(slurp(file), "newer");
}

TEST_F(AtomicWrite, MessagesNameThePathAsGiven) {
  fs::create_symlink(folder / "missing/target", folder / "dangling");
  const std::string problem = writeFileAtomically(folder / "dangling", "x").message();
  EXPECT_NE(problem.find((folder / "dangling").string()), std::string::npos) << problem;
}

// Everything in a folder, by name.
std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(AtomicWrite, AFileTheUserMayNotWriteIsRefusedAndLeftAsItWas) {
  // The folder is the user's own, so a rename over the file would succeed.
  const fs::path mine = folder / "mine";
  fs::create_directories(mine);
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  ASSERT_TRUE(testing::giveToNobody(mine, 0755));
  const fs::path file = mine / "locked.kv1";
  testing::writeWhole(file, "old\r\n");
  ASSERT_TRUE(testing::giveToNobody(file, 0444));
  fs::create_symlink("locked.kv1", mine / "link.kv1");

  const auto written = testing::asNobody([&] {
    std::string out = writeFileAtomically(file, "new").message() + "|";
    return out + writeFileAtomically(mine / "link.kv1", "new").message();
  });
  ASSERT_TRUE(written.has_value()) << "could not drop privileges";
  EXPECT_EQ(*written, "Cannot write \"" + file.string() + "\": Permission denied|Cannot write \"" +
                          (mine / "link.kv1").string() + "\": Permission denied");
  EXPECT_EQ(slurp(file), "old\r\n");
  EXPECT_EQ(testing::ownershipOf(file),
            (testing::Ownership{0444, testing::kNobody, testing::kNobody}));
  EXPECT_TRUE(fs::is_symlink(mine / "link.kv1"));
  EXPECT_EQ(namesIn(mine),
            (std::vector<std::string>{"link.kv1", "locked.kv1"}));  // no temporary left
}

TEST_F(AtomicWrite, AFileInAFolderTheUserMayNotChangeIsLeftAsItWas) {
  const fs::path file = folder / "settings.ini";
  testing::writeWhole(file, "old");
  ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);     // root's
  ASSERT_TRUE(testing::giveToNobody(file, 0644));  // writable, but not replaceable
  const auto written =
      testing::asNobody([&] { return writeFileAtomically(file, "new").message(); });
  ASSERT_TRUE(written.has_value()) << "could not drop privileges";
  EXPECT_EQ(*written, "Cannot write \"" + file.string() + "\": Permission denied");
  EXPECT_EQ(slurp(file), "old");
  EXPECT_EQ(testing::ownershipOf(file).mode, 0644u);
}

TEST_F(AtomicWrite, RootKeepsTheOwnerAndGroupOfAnotherUsersFile) {
  const fs::path file = folder / "theirs.kv2";
  testing::writeWhole(file, "old");
  ASSERT_TRUE(testing::giveToNobody(file, 0640));
  EXPECT_EQ(writeFileAtomically(file, "new").message(), "");
  EXPECT_EQ(slurp(file), "new");
  EXPECT_EQ(testing::ownershipOf(file),
            (testing::Ownership{0640, testing::kNobody, testing::kNobody}));
}

TEST_F(AtomicWrite, AMemberOfTheFilesGroupLeavesItToItsOwner) {
  constexpr gid_t kShared = 4242;
  ASSERT_TRUE(testing::giveToNobody(folder, 0755));
  const fs::path file = folder / "shared.kv1";
  testing::writeWhole(file, "old");
  ASSERT_EQ(::chown(file.c_str(), 0, kShared), 0);
  ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
  const auto written =
      testing::asNobody([&] { return writeFileAtomically(file, "new").message(); }, {kShared});
  ASSERT_TRUE(written.has_value()) << "could not drop privileges";
  EXPECT_EQ(*written, "");
  EXPECT_EQ(slurp(file), "new");
  // Rewritten in place: the file stays root's.
  EXPECT_EQ(testing::ownershipOf(file), (testing::Ownership{0664, 0, kShared}));
  // One's own file with the group of a group one is in keeps that group.
  const fs::path own = folder / "own.kv1";
  testing::writeWhole(own, "old");
  ASSERT_EQ(::chown(own.c_str(), testing::kNobody, kShared), 0);
  ASSERT_EQ(::chmod(own.c_str(), 0640), 0);
  const auto ownWritten =
      testing::asNobody([&] { return writeFileAtomically(own, "new").message(); }, {kShared});
  ASSERT_TRUE(ownWritten.has_value());
  EXPECT_EQ(*ownWritten, "");
  EXPECT_EQ(testing::ownershipOf(own), (testing::Ownership{0640, testing::kNobody, kShared}));
}

TEST_F(AtomicWrite, FilesWrittenTogetherChangeTogether) {
  std::ofstream(folder / "a") << "old a";
  std::ofstream(folder / "b") << "old b";
  EXPECT_EQ(writeFilesTogether({{folder / "a", "new a"}, {folder / "b", "new b"}}).message(), "");
  EXPECT_EQ(slurp(folder / "a"), "new a");
  EXPECT_EQ(slurp(folder / "b"), "new b");

  // A second file that cannot be written stops both before either changes.
  fs::remove(folder / "b");
  fs::create_directories(folder / "b/inside");
  EXPECT_EQ(writeFilesTogether({{folder / "a", "newer a"}, {folder / "b", "newer b"}}).message(),
            "Cannot write \"" + (folder / "b").string() + "\": it is a folder, not replaced");
  EXPECT_EQ(slurp(folder / "a"), "new a");
  EXPECT_EQ(writeFilesTogether({{folder / "c", "c"}, {folder / "b", "b"}}).message(),
            "Cannot write \"" + (folder / "b").string() + "\": it is a folder, not replaced");
  EXPECT_FALSE(fs::exists(folder / "c"));
  EXPECT_EQ(namesIn(folder), (std::vector<std::string>{"a", "b"}));
}

}  // namespace
}  // namespace kurvana
