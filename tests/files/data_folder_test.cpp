// The data folder under the desktop's documents folder.
#include "files/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class DataFolderTest : public ::testing::Test {
 protected:
  Environment env(std::map<std::string, std::string> vars) {
    environment = std::move(vars);
    return testing::environmentOf(environment);
  }

  testing::TemporaryFolder temp{"data"};
  const fs::path folder = temp.path();
  std::map<std::string, std::string> environment;
};

TEST_F(DataFolderTest, UnderTheDocumentsFolder) {
  const DataFolder made = dataFolder(env({{"HOME", folder.string()}}));
  ASSERT_TRUE(made.folder.has_value()) << made.status.message();
  EXPECT_TRUE(made.status.ok());
  EXPECT_EQ(*made.folder, folder / "Documents" / "Talvoren" / "Kurvana");
  EXPECT_TRUE(fs::is_directory(*made.folder));

  fs::create_directories(folder / "cfg");
  std::ofstream(folder / "cfg" / "user-dirs.dirs")
      << "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n";
  EXPECT_EQ(documentsFolder(
                env({{"HOME", folder.string()}, {"XDG_CONFIG_HOME", (folder / "cfg").string()}})),
            folder / "Dokumente");
}

TEST_F(DataFolderTest, WithoutOneTheProgramCannotGoOn) {
  const DataFolder homeless = dataFolder(env({}));
  EXPECT_FALSE(homeless.folder.has_value());
  EXPECT_TRUE(homeless.status.isFatal());
  EXPECT_EQ(homeless.status.message(),
            "Kurvana cannot find your documents folder: the HOME variable is not set.");

  std::ofstream(folder / "file") << "x";  // a file where a folder should go
  const DataFolder blocked = dataFolder(env({{"HOME", (folder / "file").string()}}));
  EXPECT_FALSE(blocked.folder.has_value());
  EXPECT_TRUE(blocked.status.isFatal());
  EXPECT_EQ(blocked.status.messages().size(), 1u);
  EXPECT_TRUE(blocked.status.message().starts_with(
      "Kurvana cannot create its data folder \"" +
      (folder / "file" / "Documents" / "Talvoren" / "Kurvana").string() + "\": "))
      << blocked.status.message();
}

}  // namespace
}  // namespace kurvana
