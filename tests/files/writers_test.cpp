// Every file the program writes goes through the same atomic rules: a target
// the user may not write is refused with the system's reason and left as it
// was, bytes and mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "files/as_other_user.h"
#include "files/desktop_registration.h"
#include "files/function_file.h"
#include "files/history.h"
#include "files/language_file.h"
#include "files/picture_file.h"
#include "files/report_file.h"
#include "files/settings_record.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

struct Writer {
  std::string name;
  // Relative to the folder; the first is the one a reported failure names.
  std::vector<std::string> targets;
  // Writes into the folder; the message, or nothing for writers whose
  // several steps each fail with a message of their own (the desktop
  // registration).
  std::function<std::optional<std::string>(const fs::path& folder)> write;
};

std::vector<Writer> writers() {
  const auto desktop = [](const fs::path& folder) {
    return std::map<std::string, std::string>{{"HOME", folder.string()},
                                              {"XDG_DATA_HOME", (folder / "data").string()},
                                              {"XDG_CONFIG_HOME", (folder / "config").string()}};
  };
  return {
      {"function file",
       {"plot.kv1"},
       [](const fs::path& folder) {
         return writeFunctionFile(folder / "plot.kv1", FunctionFileContents{}).message();
       }},
      {"settings record",
       {"Kurvana.ini"},
       [](const fs::path& folder) {
         return writeSettings(folder / "Kurvana.ini", PlotState{}, WindowExtent{800, 600})
             .message();
       }},
      {"history",
       {"Kurvana.lst"},
       [](const fs::path& folder) {
         FormulaHistory history;
         return recordHistory(history, folder, "F(x)=x", nullptr).message();
       }},
      {"history pair",
       {"Kurvana2.lst", "Kurvana3.lst"},
       [](const fs::path& folder) {
         FormulaHistory history;
         const std::string g = "G(x)=x";
         return recordHistory(history, folder, "F(x)=x", &g).message();
       }},
      {"report",
       {"kvreport.txt"},
       [](const fs::path& folder) {
         return writeReport(folder / "kvreport.txt", {"F(x)=x", "-----"}).message();
       }},
      {"chosen language",
       {"Kurvana.lng"},
       [](const fs::path& folder) {
         return writeChosenLanguage(folder / "Kurvana.lng", "Deutsch").message();
       }},
      {"BMP picture",
       {"plot.bmp"},
       [](const fs::path& folder) {
         return writeBmpFile(Bitmap(4, 3, 0x123456), folder / "plot.bmp").message();
       }},
      {"JPEG picture",
       {"plot.jpg"},
       [](const fs::path& folder) {
         return writeJpegFile(Bitmap(4, 3, 0x123456), folder / "plot.jpg").message();
       }},
      {"PNG picture",
       {"plot.png"},
       [](const fs::path& folder) {
         return writePngFile(Bitmap(4, 3, 0x123456), folder / "plot.png").message();
       }},
      {"desktop registration",
       {"config/mimeapps.list", "data/applications/kurvana.desktop",
        "data/mime/packages/kurvana-kv1.xml"},
       [desktop](const fs::path& folder) -> std::optional<std::string> {
         const auto vars = desktop(folder);
         const Status registered =
             registerFileType("kv1", "/opt/kurvana/bin/kurvana", testing::environmentOf(vars));
         return registered.messages().size() == 3 ? std::nullopt
                                                  : std::optional(registered.message());
       }},
      {"icon",
       {"data/icons/hicolor/256x256/apps/kurvana.png"},
       [desktop](const fs::path& folder) -> std::optional<std::string> {
         const auto vars = desktop(folder);
         return installIcon("NEW PNG", testing::environmentOf(vars)).message();
       }},
  };
}

TEST(Writers, EveryWriterRefusesAFileTheUserMayNotWrite) {
  for (const Writer& writer : writers()) {
    SCOPED_TRACE(writer.name);
    testing::TemporaryFolder temp{"writers"};
    const fs::path folder = temp.path();
    for (const std::string& target : writer.targets) {
      testing::writeWhole(folder / target, "old " + target + "\r\n");
    }
    // The folders are the user's own, so renaming over the files would succeed.
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      ASSERT_TRUE(testing::giveToNobody(entry.path(), entry.is_directory() ? 0755 : 0444));
    }
    ASSERT_TRUE(testing::giveToNobody(folder, 0755));

    const auto message = testing::asNobody([&] { return writer.write(folder).value_or("-"); });
    ASSERT_TRUE(message.has_value()) << "could not drop privileges";
    if (*message != "-") {
      EXPECT_EQ(*message, "Cannot write \"" + (folder / writer.targets[0]).string() +
                              "\": Permission denied");
    }
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
      // The history's lock file is no temporary: it stays, empty.
      if (entry.path().filename() == "Kurvana.lock") continue;
      files += entry.is_regular_file() ? 1 : 0;
    }
    EXPECT_EQ(files, writer.targets.size());  // no temporary left behind
    for (const std::string& target : writer.targets) {
      EXPECT_EQ(testing::readWhole(folder / target), "old " + target + "\r\n") << target;
      EXPECT_EQ(testing::ownershipOf(folder / target).mode, 0444u) << target;
    }
  }
}

}  // namespace
}  // namespace kurvana
