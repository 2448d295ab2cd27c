#include "files/font_cache.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdint>
#include <string_view>
#include <system_error>
#include <vector>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

// The cache holds a few hundred short lines even with many font folders.
constexpr std::size_t kMaxCacheBytes = 1u << 20;
constexpr std::string_view kHeader = "kurvana font cache 1";

// "-" for nothing there; else the type (f file, d folder, o other), the
// modification time in seconds and nanoseconds and the size, as stat (links
// followed, as fontconfig reads them) gives them now.
std::string stampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "-";
  const char kind = S_ISREG(st.st_mode) ? 'f' : S_ISDIR(st.st_mode) ? 'd' : 'o';
  return std::string(1, kind) + " " + std::to_string(st.st_mtim.tv_sec) + " " +
         std::to_string(st.st_mtim.tv_nsec) + " " + std::to_string(st.st_size);
}

std::string variableLine(const Environment& env, const char* name) {
  const char* value = env(name);
  return value == nullptr ? std::string("env ") + name : std::string("env ") + name + "=" + value;
}

// FNV-1a over the cache's lines, in its last one: an edited or damaged
// cache (an index changed, a line lost) is not taken for one we wrote.
std::string checksum(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  return "sum " + std::to_string(hash);
}

std::vector<std::string_view> linesOf(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) {
      lines.clear();  // cut short: not a cache this program finished writing
      return lines;
    }
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end + 1);
  }
  return lines;
}

// The remembered file, when the cache's text is one this program wrote and
// nothing it names has changed.
std::optional<FontFile> readCache(std::string_view text, const std::string& family,
                                  const Environment& env) {
  // The last line sums up the others.
  if (text.size() < 2 || text.back() != '\n') return std::nullopt;
  const std::size_t lastStart = text.rfind('\n', text.size() - 2) + 1;  // 0 when only one
  if (text.substr(lastStart, text.size() - 1 - lastStart) != checksum(text.substr(0, lastStart))) {
    return std::nullopt;
  }
  const std::vector<std::string_view> lines = linesOf(text.substr(0, lastStart));
  std::size_t at = 0;
  const auto next = [&](std::string_view expected) {
    return at < lines.size() && lines[at] == expected ? (++at, true) : false;
  };
  if (!next(kHeader) || !next("version " + std::to_string(fontMatchVersion())) ||
      !next("family " + family)) {
    return std::nullopt;
  }
  for (const char* name : fontMatchVariables()) {
    if (!next(variableLine(env, name))) return std::nullopt;
  }

  // font INDEX PATH
  if (at >= lines.size() || !lines[at].starts_with("font ")) return std::nullopt;
  std::string_view font = lines[at++].substr(5);
  FontFile file;
  const auto [end, error] = std::from_chars(font.data(), font.data() + font.size(), file.index);
  if (error != std::errc() || end == font.data() + font.size() || *end != ' ' || file.index < 0) {
    return std::nullopt;
  }
  font.remove_prefix(static_cast<std::size_t>(end - font.data()) + 1);
  if (font.empty() || font.front() != '/') return std::nullopt;
  file.path = std::string(font);

  // path STAMP PATH, the stamp being "-" or four words.
  bool fontSeen = false;
  if (at == lines.size()) return std::nullopt;
  for (; at < lines.size(); ++at) {
    std::string_view line = lines[at];
    if (!line.starts_with("path ")) return std::nullopt;
    line.remove_prefix(5);
    std::size_t stampEnd = 0;
    for (int words = line.starts_with("- ") ? 1 : 4; words > 0; --words) {
      stampEnd = line.find(' ', stampEnd == 0 ? 0 : stampEnd + 1);
      if (stampEnd == std::string_view::npos) return std::nullopt;
    }
    const std::string path(line.substr(stampEnd + 1));
    const std::string stamp = stampOf(path);
    if (path.empty() || line.substr(0, stampEnd) != stamp) return std::nullopt;
    if (path == file.path && stamp.front() == 'f') fontSeen = true;
  }
  if (!fontSeen) return std::nullopt;
  return file;
}

// The cache's text for a match; nothing when a line end in a name or value
// would break its lines.
std::optional<std::string> cacheText(const FontMatch& match, const std::string& family,
                                     const Environment& env) {
  const auto oneLine = [](std::string_view text) { return text.find('\n') == text.npos; };
  if (!oneLine(family) || !oneLine(match.file.path)) return std::nullopt;
  std::string text = std::string(kHeader) + "\n";
  text += "version " + std::to_string(fontMatchVersion()) + "\n";
  text += "family " + family + "\n";
  for (const char* name : fontMatchVariables()) {
    const std::string line = variableLine(env, name);
    if (!oneLine(line)) return std::nullopt;
    text += line + "\n";
  }
  text += "font " + std::to_string(match.file.index) + " " + match.file.path + "\n";
  bool fontListed = false;
  for (const std::string& path : match.dependsOn) {
    if (!oneLine(path)) return std::nullopt;
    text += "path " + stampOf(path) + " " + path + "\n";
    fontListed = fontListed || path == match.file.path;
  }
  if (!fontListed) text += "path " + stampOf(match.file.path) + " " + match.file.path + "\n";
  return text + checksum(text) + "\n";
}

}  // namespace

std::optional<std::filesystem::path> fontCachePath(const Environment& env) {
  const char* cacheHome = env("XDG_CACHE_HOME");
  std::filesystem::path folder;
  if (cacheHome != nullptr && cacheHome[0] == '/') {
    folder = cacheHome;
  } else {
    const char* home = env("HOME");
    if (home == nullptr || *home == '\0') return std::nullopt;
    folder = std::filesystem::path(home) / ".cache";
  }
  return folder / "kurvana" / "font-cache";
}

std::optional<FontFile> findFontFile(const std::string& family, const Environment& env,
                                     const FontMatcher& match) {
  const std::optional<std::filesystem::path> path = fontCachePath(env);
  if (path) {
    const FileContents cached = readFile(*path, kMaxCacheBytes);
    if (cached.bytes) {
      if (std::optional<FontFile> file = readCache(*cached.bytes, family, env)) return file;
    }
  }
  std::optional<FontMatch> found = match(family);
  if (!found) return std::nullopt;
  if (path) {
    if (const std::optional<std::string> text = cacheText(*found, family, env)) {
      std::error_code ignored;
      std::filesystem::create_directories(path->parent_path(), ignored);
      // A cache that cannot be written only means asking fontconfig next time.
      (void)writeFileAtomically(*path, *text);
    }
  }
  return std::move(found->file);
}

}  // namespace kurvana
