// The remembered label font: asked of fontconfig once, kept while nothing it
// rests on changes, and never trusted when the cache is not what we wrote.
#include "files/font_cache.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "files/as_other_user.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

class FontCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::writeWhole(font, "a face");
    testing::writeWhole(config, "<fontconfig/>");
    fs::create_directories(fonts);
    vars = {{"HOME", (temp / "home").string()}, {"LANG", "de_DE.UTF-8"}};
  }

  // A fontconfig that answers `font`, resting on the configuration file,
  // the font folder and a configured folder that does not exist.
  FontMatcher matcher() {
    return [this](const std::string& family) -> std::optional<FontMatch> {
      ++asked;
      askedFor = family;
      if (!answer) return std::nullopt;
      return FontMatch{*answer, {answer->path, config.string(), fonts.string(), missing.string()}};
    };
  }

  std::optional<FontFile> find(const std::string& family = "Verdana") {
    return findFontFile(family, testing::environmentOf(vars), matcher());
  }

  fs::path cache() const { return temp / "home" / ".cache" / "kurvana" / "font-cache"; }

  // Moves a file's modification time on, as an edit would.
  static void touch(const fs::path& path) {
    fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(5));
  }

  testing::TemporaryFolder temp{"font_cache"};
  const fs::path font = temp / "faces" / "Face.ttf";
  const fs::path config = temp / "etc" / "fonts.conf";
  const fs::path fonts = temp / "fonts";
  const fs::path missing = temp / "user-fonts";
  std::map<std::string, std::string> vars;
  std::optional<FontFile> answer = FontFile{font.string(), 2};
  int asked = 0;
  std::string askedFor;
};

TEST_F(FontCacheTest, AsksOnceThenRemembers) {
  const std::optional<FontFile> first = find();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->path, font.string());
  EXPECT_EQ(first->index, 2);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(askedFor, "Verdana");
  EXPECT_TRUE(fs::is_regular_file(cache()));

  const std::optional<FontFile> again = find();
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->path, font.string());
  EXPECT_EQ(again->index, 2);
  EXPECT_EQ(asked, 1);
}

// Each change to what the answer rests on asks again and remembers the new
// answer, which the next run then takes without asking.
TEST_F(FontCacheTest, AChangeAsksAgainAndIsRemembered) {
  const std::map<std::string, std::function<void()>> changes = {
      {"configuration edited", [&] { touch(config); }},
      {"font added", [&] { testing::writeWhole(fonts / "Other.ttf", "another face"); }},
      {"font rewritten", [&] { testing::writeWhole(font, "a longer face"); }},
      {"configured folder made", [&] { fs::create_directories(missing); }},
      {"language changed", [&] { vars["LANG"] = "fr_FR.UTF-8"; }},
      {"variable set", [&] { vars["FONTCONFIG_FILE"] = config.string(); }},
      {"variable unset", [&] { vars.erase("FONTCONFIG_FILE"); }},
  };
  ASSERT_TRUE(find());
  for (const auto& [what, change] : changes) {
    change();
    const int before = asked;
    ASSERT_TRUE(find()) << what;
    EXPECT_EQ(asked, before + 1) << what;
    ASSERT_TRUE(find()) << what;
    EXPECT_EQ(asked, before + 1) << what << ": not remembered";
  }
  // Another family is not the remembered one's.
  ASSERT_TRUE(find("DejaVu Sans"));
  EXPECT_EQ(askedFor, "DejaVu Sans");
}

TEST_F(FontCacheTest, ADeletedFontIsNotAnswered) {
  ASSERT_TRUE(find());
  fs::remove(font);
  const fs::path other = temp / "faces" / "Fallback.ttf";
  testing::writeWhole(other, "the next best face");
  answer = FontFile{other.string(), 0};
  const std::optional<FontFile> found = find();
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->path, other.string());
  EXPECT_EQ(asked, 2);

  // Nothing installed at all: nothing, and nothing remembered.
  fs::remove(other);
  answer.reset();
  EXPECT_FALSE(find().has_value());
  EXPECT_FALSE(find().has_value());
  EXPECT_EQ(asked, 4);
}

// Whatever sits at the cache's place, the answer is fontconfig's and a good
// cache replaces it where it is a file.
TEST_F(FontCacheTest, ContentsNotOursAreIgnored) {
  ASSERT_TRUE(find());
  const std::string good = testing::readWhole(cache());
  std::string otherFont = good;
  otherFont.replace(otherFont.find("font 2 "), 7, "font 3 ");
  std::string relative = good;
  relative.replace(relative.find("font 2 /"), 8, "font 2 x");
  const std::map<std::string, std::string> bad = {
      {"empty", ""},
      {"garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)},
      {"cut short", good.substr(0, good.size() - 1)},
      {"line lost", good.substr(0, good.rfind('\n', good.size() - 2) + 1)},
      {"other version", "kurvana font cache 2" + good.substr(good.find('\n'))},
      {"edited", otherFont},
      {"relative font path", relative},
      {"over the cap", good + std::string(1u << 20, '#')},
  };
  for (const auto& [what, bytes] : bad) {
    testing::writeWhole(cache(), bytes);
    const int before = asked;
    const std::optional<FontFile> found = find();
    ASSERT_TRUE(found.has_value()) << what;
    EXPECT_EQ(found->path, font.string()) << what;
    EXPECT_EQ(found->index, 2) << what;
    EXPECT_EQ(asked, before + 1) << what;
    EXPECT_EQ(testing::readWhole(cache()), good) << what;
  }
}

// A named pipe would block a plain open until a writer came: the answer comes
// at once, and the pipe is left as it is.
TEST_F(FontCacheTest, APipeInItsPlaceIsNotOpened) {
  fs::create_directories(cache().parent_path());
  ASSERT_EQ(::mkfifo(cache().c_str(), 0600), 0);
  const std::optional<std::string> seen = testing::withinSeconds(10, [&] {
    const std::optional<FontFile> found = find();
    return found ? found->path : std::string("nothing");
  });
  ASSERT_TRUE(seen.has_value()) << "hung or crashed";
  EXPECT_EQ(*seen, font.string());
  EXPECT_TRUE(fs::is_fifo(cache()));

  // A folder in its place likewise.
  fs::remove(cache());
  fs::create_directories(cache());
  ASSERT_TRUE(find());
  ASSERT_TRUE(find());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(fs::is_directory(cache()));
}

TEST_F(FontCacheTest, LivesInTheUsersCacheFolder) {
  const fs::path home = temp / "home";
  EXPECT_EQ(fontCachePath(testing::environmentOf(vars)), home / ".cache/kurvana/font-cache");
  vars["XDG_CACHE_HOME"] = (temp / "xdg").string();
  EXPECT_EQ(fontCachePath(testing::environmentOf(vars)), temp / "xdg/kurvana/font-cache");
  // A relative one is not to be used, as the XDG rules say.
  vars["XDG_CACHE_HOME"] = "relative/cache";
  EXPECT_EQ(fontCachePath(testing::environmentOf(vars)), home / ".cache/kurvana/font-cache");

  // No home at all: fontconfig every time, nothing written.
  vars = {};
  EXPECT_EQ(fontCachePath(testing::environmentOf(vars)), std::nullopt);
  ASSERT_TRUE(find());
  ASSERT_TRUE(find());
  EXPECT_EQ(asked, 2);
}

// A line end in a path would make a cache that reads as something else:
// such an answer is given but not remembered.
TEST_F(FontCacheTest, AnAnswerThatCannotBeWrittenIsNotRemembered) {
  const fs::path odd = temp / "fonts" / "Odd\nName.ttf";
  testing::writeWhole(odd, "a face");
  answer = FontFile{odd.string(), 0};
  ASSERT_TRUE(find());
  const std::optional<FontFile> found = find();
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->path, odd.string());
  EXPECT_EQ(asked, 2);
  EXPECT_FALSE(fs::exists(cache()));
}

// With the real fontconfig: its answer, and a second lookup that does not ask
// (nothing fontconfig's answer rests on changes by asking).
TEST_F(FontCacheTest, RemembersFontconfigsAnswer) {
  if (!fs::exists("/etc/fonts/fonts.conf")) GTEST_SKIP() << "fontconfig is not configured here";
  int real = 0;
  const FontMatcher counting = [&](const std::string& family) {
    ++real;
    return matchFont(family);
  };
  const Environment env = testing::environmentOf(vars);
  const std::optional<FontMatch> direct = matchFont("Verdana");
  ASSERT_TRUE(direct.has_value());
  EXPECT_EQ(direct->dependsOn.front(), direct->file.path);
  EXPECT_NE(std::find(direct->dependsOn.begin(), direct->dependsOn.end(), "/etc/fonts/fonts.conf"),
            direct->dependsOn.end());
  const std::optional<FontFile> first = findFontFile("Verdana", env, counting);
  const std::optional<FontFile> second = findFontFile("Verdana", env, counting);
  ASSERT_TRUE(first.has_value());
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(first->path, direct->file.path);
  EXPECT_EQ(second->path, direct->file.path);
  EXPECT_EQ(second->index, direct->file.index);
  EXPECT_EQ(real, 1);
}

}  // namespace
}  // namespace kurvana
