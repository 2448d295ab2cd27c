// Desktop registration against temporary XDG folders.
#include "files/desktop_registration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "files/as_other_user.h"
#include "files/child_process.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class DesktopRegistration : public ::testing::Test {
 protected:
  Environment env() { return testing::environmentOf(vars); }
  CommandRunner recorder() {
    return [this](const std::vector<std::string>& argv) { commands.push_back(argv); };
  }
  static std::string slurp(const fs::path& path) { return testing::readWhole(path); }

  testing::TemporaryFolder temp{"reg"};
  const fs::path root = temp.path();
  std::map<std::string, std::string> vars = {{"HOME", (root / "home").string()},
                                             {"XDG_DATA_HOME", (root / "data").string()},
                                             {"XDG_CONFIG_HOME", (root / "config").string()}};
  std::vector<std::vector<std::string>> commands;
};

TEST_F(DesktopRegistration, WritesTypesEntryIconAndDefaultsThenRefreshesOnce) {
  EXPECT_EQ(registerFileTypes("/opt/kurvana/bin/kurvana", "PNG-BYTES", env(), recorder()).message(),
            "");
  const std::string xml = slurp(root / "data/mime/packages/kurvana-kv1.xml");
  EXPECT_NE(xml.find("type=\"application/x-kurvana-kv1\""), std::string::npos);
  EXPECT_NE(xml.find("<glob pattern=\"*.kv1\"/>"), std::string::npos);
  EXPECT_NE(xml.find("<icon name=\"kurvana\"/>"), std::string::npos);
  EXPECT_TRUE(fs::exists(root / "data/mime/packages/kurvana-kv2.xml"));
  const std::string entry = slurp(root / "data/applications/kurvana.desktop");
  EXPECT_NE(entry.find("Exec=\"/opt/kurvana/bin/kurvana\" %f\n"), std::string::npos);
  EXPECT_NE(entry.find("\nIcon=kurvana\n"), std::string::npos);
  EXPECT_NE(entry.find("MimeType=application/x-kurvana-kv1;application/x-kurvana-kv2;"),
            std::string::npos);
  EXPECT_EQ(slurp(root / "config/mimeapps.list"),
            "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n"
            "application/x-kurvana-kv2=kurvana.desktop\n");
  EXPECT_EQ(slurp(root / "data/icons/hicolor/256x256/apps/kurvana.png"), "PNG-BYTES");
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0],
            (std::vector<std::string>{"update-mime-database", (root / "data/mime").string()}));
  EXPECT_EQ(commands[1][0], "update-desktop-database");
}

TEST_F(DesktopRegistration, AnUnchangedIconIsNotRewritten) {
  EXPECT_EQ(installIcon("PNG-1", env()).message(), "");
  const fs::path icon = root / "data/icons/hicolor/256x256/apps/kurvana.png";
  struct stat first {};
  ASSERT_EQ(::stat(icon.c_str(), &first), 0);
  EXPECT_EQ(installIcon("PNG-1", env()).message(), "");
  struct stat second {};
  ASSERT_EQ(::stat(icon.c_str(), &second), 0);
  EXPECT_EQ(first.st_ino, second.st_ino);
  EXPECT_EQ(installIcon("PNG-22", env()).message(), "");
  EXPECT_EQ(slurp(icon), "PNG-22");
}

TEST_F(DesktopRegistration, CrLfListsKeepTheirLineEndsAndEntries) {
  fs::create_directories(root / "config");
  std::ofstream(root / "config/mimeapps.list", std::ios::binary)
      << "[Default Applications]\r\napplication/x-kurvana-kv1=old.desktop\r\n"
         "image/png=viewer.desktop";
  EXPECT_EQ(registerFileType("kv1", "/x/kurvana", env()).message(), "");
  EXPECT_EQ(registerFileType("kv2", "/x/kurvana", env()).message(), "");
  EXPECT_EQ(slurp(root / "config/mimeapps.list"),
            "[Default Applications]\r\napplication/x-kurvana-kv1=kurvana.desktop\r\n"
            "image/png=viewer.desktop\r\napplication/x-kurvana-kv2=kurvana.desktop\r\n");
}

TEST_F(DesktopRegistration, ALinkedListIsWrittenThroughToItsTarget) {
  fs::create_directories(root / "config");
  fs::create_directories(root / "dotfiles");
  std::ofstream(root / "dotfiles/mimeapps.list")
      << "[Added Associations]\ntext/plain=ed.desktop;\n";
  fs::create_symlink("../dotfiles/mimeapps.list", root / "config/mimeapps.list");
  EXPECT_EQ(registerFileType("kv1", "/x/kurvana", env()).message(), "");
  EXPECT_TRUE(fs::is_symlink(root / "config/mimeapps.list"));
  EXPECT_EQ(slurp(root / "dotfiles/mimeapps.list"),
            "[Added Associations]\ntext/plain=ed.desktop;\n"
            "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n");
}

TEST_F(DesktopRegistration, AListThatCannotBeReadIsLeftAlone) {
  // A folder where the list should be, and a link to nothing.
  fs::create_directories(root / "config/mimeapps.list");
  EXPECT_EQ(registerFileType("kv1", "/x/kurvana", env()).message(), "");
  EXPECT_TRUE(fs::is_directory(root / "config/mimeapps.list"));
  fs::remove(root / "config/mimeapps.list");
  fs::create_symlink(root / "nowhere/mimeapps.list", root / "config/mimeapps.list");
  EXPECT_EQ(registerFileType("kv1", "/x/kurvana", env()).message(), "");
  EXPECT_TRUE(fs::is_symlink(root / "config/mimeapps.list"));
  EXPECT_FALSE(fs::exists(root / "nowhere"));

  // A list the user may replace but not read: registering as that user must
  // not put a list of our own in its place.
  fs::remove(root / "config/mimeapps.list");
  const std::string secret = "[Default Applications]\ntext/plain=private.desktop\n";
  std::ofstream(root / "config/mimeapps.list") << secret;
  ::chmod((root / "config/mimeapps.list").c_str(), 0600);
  ASSERT_EQ(::chown((root / "config").c_str(), testing::kNobody, testing::kNobody), 0);
  ASSERT_EQ(::chmod(root.c_str(), 0755), 0);
  ASSERT_TRUE(testing::asNobody([&] {
    EXPECT_EQ(registerFileType("kv1", "/x/kurvana", env()).message(), "");
    return std::string();
  })) << "could not drop privileges";
  EXPECT_EQ(slurp(root / "config/mimeapps.list"), secret);
}

TEST_F(DesktopRegistration, FollowsTheExecutableAndKeepsOtherAssociations) {
  fs::create_directories(root / "config");
  std::ofstream(root / "config/mimeapps.list")
      << "[Added Associations]\ntext/plain=editor.desktop;\n"
         "[Default "
         "Applications]\napplication/x-kurvana-kv1=old.desktop\nimage/png=viewer.desktop\n";
  EXPECT_EQ(registerFileType("kv1", "/old/place/kurvana", env()).message(), "");
  EXPECT_EQ(registerFileType("kv1", "/new place/kurvana \"$1\"", env()).message(), "");
  EXPECT_EQ(slurp(root / "config/mimeapps.list"),
            "[Added Associations]\ntext/plain=editor.desktop;\n"
            "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n"
            "image/png=viewer.desktop\n");
  EXPECT_NE(slurp(root / "data/applications/kurvana.desktop")
                .find("Exec=\"/new place/kurvana \\\\\"\\\\$1\\\\\"\" %f"),
            std::string::npos);
}

// The Exec line of an ordinary path with every character the quoting must
// treat: the whole line, with nothing after it on the same key.
TEST_F(DesktopRegistration, TheExecLineQuotesReservedCharacters) {
  const struct {
    std::string path;
    std::string exec;
  } cases[] = {
      {"/opt/kurvana/bin/kurvana", R"(Exec="/opt/kurvana/bin/kurvana" %f)"},
      // Inside the quotes " ` $ \ get a backslash, and the string escapes
      // double every backslash; % is doubled for the field codes.
      {R"(/opt/my "app"/back\slash/$HOME/50%/`t`/'s' ~;&|<>*?#()=/kurvana)",
       R"(Exec="/opt/my \\"app\\"/back\\\\slash/\\$HOME/50%%/\\`t\\`/'s' ~;&|<>*?#()=/kurvana" %f)"},
      {"/opt/Größe €/𝑥\u00A0/kurvana", "Exec=\"/opt/Größe €/𝑥\u00A0/kurvana\" %f"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(registerFileType("kv1", c.path, env()).message(), "");
    std::istringstream entry(slurp(root / "data/applications/kurvana.desktop"));
    std::vector<std::string> execs;
    for (std::string line; std::getline(entry, line);) {
      if (line.starts_with("Exec")) execs.push_back(line);
    }
    EXPECT_EQ(execs, std::vector<std::string>{c.exec}) << c.path;
  }
}

// A path the entry cannot hold (a control character would end the Exec key
// and start keys of its own; an entry must be UTF-8) writes no entry and no
// association: an earlier good registration stays exactly as it was. The
// type definitions, which name no program, are still written.
TEST_F(DesktopRegistration, APathTheEntryCannotHoldRegistersNoProgram) {
  const std::string rejected[] = {
      "/opt/a\nExec=/bin/evil/kurvana",
      "/opt/a\rb/kurvana",
      "/opt/a\tb/kurvana",
      std::string("/opt/a\0b/kurvana", 16),  // not a path the system gives, but a string can
      "/opt/a\x1F/kurvana",
      "/opt/a\x7F/kurvana",
      "/opt/a\xC2\x80/kurvana",  // U+0080 and U+009F, C1 controls
      "/opt/a\xC2\x9F/kurvana",
      "/opt/Gr\xF6\xDF/kurvana",  // Latin-1
      "/opt/\xFF\xFE/kurvana",
      "/opt/\xC3/kurvana",              // a cut sequence
      "/opt/\xC0\xAF/kurvana",          // an overlong '/'
      "/opt/\xED\xA0\x80/kurvana",      // a surrogate
      "/opt/\xF4\x90\x80\x80/kurvana",  // beyond U+10FFFF
      "/opt/kurvana\xE2\x82",           // cut at the very end
  };
  const fs::path entry = root / "data/applications/kurvana.desktop";
  const fs::path list = root / "config/mimeapps.list";
  const auto show = [](const std::string& path) {
    std::ostringstream out;
    for (const unsigned char c : path) {
      if (c >= 0x20 && c < 0x7F) {
        out << c;
      } else {
        out << "\\x" << std::hex << int(c) << std::dec;
      }
    }
    return out.str();
  };
  const auto inode = [](const fs::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
  };

  // First run from such a place: the types, nothing else.
  for (const std::string& path : rejected) {
    EXPECT_EQ(registerFileTypes(path, "", env(), recorder()).message(), "");
    EXPECT_FALSE(fs::exists(entry)) << show(path);
    EXPECT_FALSE(fs::exists(list)) << show(path);
    EXPECT_TRUE(fs::exists(root / "data/mime/packages/kurvana-kv2.xml")) << show(path);
  }

  // After a good registration of one type the entry and the list stay
  // untouched, not even rewritten with the same bytes.
  EXPECT_EQ(registerFileType("kv1", "/good/kurvana", env()).message(), "");
  const std::string goodEntry = slurp(entry);
  const std::string goodList = slurp(list);
  ASSERT_EQ(goodList, "[Default Applications]\napplication/x-kurvana-kv1=kurvana.desktop\n");
  const auto entryInode = inode(entry);
  const auto listInode = inode(list);
  for (const std::string& path : rejected) {
    EXPECT_EQ(registerFileTypes(path, "", env(), recorder()).message(), "");
    EXPECT_EQ(slurp(entry), goodEntry) << show(path);
    EXPECT_EQ(inode(entry), entryInode) << show(path);
    EXPECT_EQ(slurp(list), goodList) << show(path);
    EXPECT_EQ(inode(list), listInode) << show(path);
  }
}

TEST_F(DesktopRegistration, AFailingStepIsReportedAndTheOthersStillRun) {
  fs::create_directories(root);
  std::ofstream(root / "data") << "a file where a folder should be";
  const Status status = registerFileTypes("/x/kurvana", "PNG", env(), recorder());
  const auto data = (root / "data").string();
  EXPECT_EQ(status.messages(),
            (std::vector<std::string>{
                "Cannot write \"" + data + "/mime/packages/kurvana-kv1.xml\": Not a directory",
                "Cannot write \"" + data + "/applications/kurvana.desktop\": Not a directory",
                "Cannot write \"" + data + "/mime/packages/kurvana-kv2.xml\": Not a directory",
                "Cannot write \"" + data + "/applications/kurvana.desktop\": Not a directory",
                "Cannot write \"" + data +
                    "/icons/hicolor/256x256/apps/kurvana.png\": Not a directory"}));
  EXPECT_FALSE(status.isFatal());
  EXPECT_TRUE(fs::exists(root / "config/mimeapps.list"));  // later steps still ran
  EXPECT_EQ(commands.size(), 2u);
  vars.clear();  // no home at all
  EXPECT_EQ(registerFileTypes("/x/kurvana", "PNG", env(), recorder()).message(), "");
  EXPECT_EQ(commands.size(), 2u);
  runQuietly({"a-command-that-does-not-exist-here"});
  runInBackground({"a-command-that-does-not-exist-here"});
}

TEST_F(DesktopRegistration, DefaultsToTheHomeFolders) {
  vars.erase("XDG_DATA_HOME");
  vars.erase("XDG_CONFIG_HOME");
  EXPECT_EQ(registerFileType("kv2", "/x/kurvana", env()).message(), "");
  EXPECT_TRUE(fs::exists(root / "home/.local/share/mime/packages/kurvana-kv2.xml"));
  EXPECT_TRUE(fs::exists(root / "home/.config/mimeapps.list"));
}

}  // namespace
}  // namespace kurvana
