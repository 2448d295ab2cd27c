// Desktop registration against temporary XDG folders.
#include "files/desktop_registration.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class DesktopRegistration : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("kurvana_reg_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(root);
    vars = {{"HOME", (root / "home").string()},
            {"XDG_DATA_HOME", (root / "data").string()},
            {"XDG_CONFIG_HOME", (root / "config").string()}};
  }
  void TearDown() override { fs::remove_all(root); }

  Environment env() {
    return [this](const char* name) -> const char* {
      const auto it = vars.find(name);
      return it == vars.end() ? nullptr : it->second.c_str();
    };
  }
  CommandRunner recorder() {
    return [this](const std::vector<std::string>& argv) { commands.push_back(argv); };
  }
  std::string slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path root;
  std::map<std::string, std::string> vars;
  std::vector<std::vector<std::string>> commands;
};

TEST_F(DesktopRegistration, WritesTypeEntryAndDefaultThenRefreshes) {
  registerFileType("kv1", "/opt/kurvana/bin/kurvana", env(), recorder());
  registerFileType("kv2", "/opt/kurvana/bin/kurvana", env(), recorder());
  const std::string xml = slurp(root / "data/mime/packages/kurvana-kv1.xml");
  EXPECT_NE(xml.find("type=\"application/x-kurvana-kv1\""), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.kv1\"/>"), std::string::npos);
  EXPECT_TRUE(fs::exists(root / "data/mime/packages/kurvana-kv2.xml"));
  const std::string entry = slurp(root / "data/applications/kurvana.desktop");
  EXPECT_NE(entry.find("Exec=\"/opt/kurvana/bin/kurvana\" %f\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=application/x-kurvana-kv1;application/x-kurvana-kv2;"),
            std::string::npos);
  EXPECT_EQ(slurp(root / "config/mimeapps.list"),
            "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n"
            "application/x-kurvana-kv2=kurvana.desktop\n");
  ASSERT_EQ(commands.size(), 4u);
  EXPECT_EQ(commands[0],
            (std::vector<std::string>{"update-mime-database", (root / "data/mime").string()}));
  EXPECT_EQ(commands[1][0], "update-desktop-database");
}

TEST_F(DesktopRegistration, FollowsTheExecutableAndKeepsOtherAssociations) {
  fs::create_directories(root / "config");
  std::ofstream(root / "config/mimeapps.list")
      << "[Added Associations]\ntext/plain=editor.desktop;\n"
         "[Default "
         "Applications]\napplication/x-kurvana-kv1=old.desktop\nimage/png=viewer.desktop\n";
  registerFileType("kv1", "/old/place/kurvana", env(), recorder());
  registerFileType("kv1", "/new place/kurvana \"$1\"", env(), recorder());
  EXPECT_EQ(slurp(root / "config/mimeapps.list"),
            "[Added Associations]\ntext/plain=editor.desktop;\n"
            "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n"
            "image/png=viewer.desktop\n");
  EXPECT_NE(slurp(root / "data/applications/kurvana.desktop")
                .find("Exec=\"/new place/kurvana \\\\\"\\\\$1\\\\\"\" %f"),
            std::string::npos);
}

TEST_F(DesktopRegistration, FailingStepsAreSkippedSilently) {
  fs::create_directories(root);
  std::ofstream(root / "data") << "a file where a folder should be";
  registerFileType("kv1", "/x/kurvana", env(), recorder());
  EXPECT_TRUE(fs::exists(root / "config/mimeapps.list"));  // later steps still ran
  EXPECT_EQ(commands.size(), 2u);
  vars.clear();  // no home at all
  registerFileType("kv1", "/x/kurvana", env(), recorder());
  runQuietly({"a-command-that-does-not-exist-here"});
}

TEST_F(DesktopRegistration, DefaultsToTheHomeFolders) {
  vars.erase("XDG_DATA_HOME");
  vars.erase("XDG_CONFIG_HOME");
  registerFileType("kv2", "/x/kurvana", env(), recorder());
  EXPECT_TRUE(fs::exists(root / "home/.local/share/mime/packages/kurvana-kv2.xml"));
  EXPECT_TRUE(fs::exists(root / "home/.config/mimeapps.list"));
}

}  // namespace
}  // namespace kurvana
