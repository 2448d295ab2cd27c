#include "files/desktop_registration.h"

#include <optional>
#include <system_error>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

constexpr std::string_view kDesktopFile = "kurvana.desktop";
// A mimeapps.list is a few kilobytes; one this large is not rewritten.
constexpr std::size_t kMaxListBytes = 4 << 20;

std::filesystem::path xdgHome(const Environment& env, const char* variable, const char* fallback) {
  const char* value = env(variable);
  if (value != nullptr && *value == '/') return value;
  const char* home = env("HOME");
  if (home == nullptr || *home == '\0') return {};
  return std::filesystem::path(home) / fallback;
}

// Exec= value: the path quoted, with the characters the desktop entry format
// reserves inside quotes escaped.
std::string quotedExec(const std::string& path) {
  std::string out = "\"";
  for (char c : path) {
    // Quoting escapes these with a backslash; the string escapes of the
    // entry then double every backslash.
    if (c == '"' || c == '`' || c == '$') {
      out += "\\\\";
    } else if (c == '\\') {
      out += "\\\\\\";
    } else if (c == '%') {
      out += '%';  // a literal percent is written twice
    }
    out += c;
  }
  return out + "\"";
}

// Whether `path` can stand in an Exec= line: the entry is UTF-8 text of
// one key a line, so a line end (or any other control character, C1 ones
// included) would end the key early and start keys of its own, and bytes
// that are not UTF-8 make the whole entry invalid.
bool fitsDesktopEntry(std::string_view path) {
  for (std::size_t i = 0; i < path.size();) {
    const auto b = static_cast<unsigned char>(path[i]);
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F) return false;
      ++i;
      continue;
    }
    const std::size_t length = (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > path.size()) return false;
    char32_t c = b & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(path[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      c = (c << 6) | (next & 0x3F);
    }
    const char32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (c < shortest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    if (c <= 0x9F) return false;  // a C1 control character
    i += length;
  }
  return true;
}

Status writeIn(const std::filesystem::path& folder, std::string_view name,
               const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return writeFileAtomically(folder / name, text);
}

// mimeapps.list with `type` set to the desktop entry under [Default
// Applications]; every other line kept as it was, CR LF ends included. Lines
// added take the file's own line end.
std::string withDefaultApplication(const std::string& old, const std::string& type) {
  const std::string eol = old.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string out;
  bool inSection = false;
  bool sectionSeen = false;
  bool written = false;
  const std::string entry = type + "=" + std::string(kDesktopFile);
  std::size_t start = 0;
  while (start < old.size()) {
    std::size_t end = old.find('\n', start);
    end = end == std::string::npos ? old.size() : end + 1;
    const std::string raw = old.substr(start, end - start);  // with its line end, if any
    start = end;
    std::string line = raw;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!line.empty() && line.front() == '[') {
      if (inSection && !written) {
        out += entry + eol;
        written = true;
      }
      inSection = line == "[Default Applications]";
      sectionSeen = sectionSeen || inSection;
    } else if (inSection && line.starts_with(type + "=")) {
      if (!written) out += entry + eol;
      written = true;
      continue;
    }
    out += raw;
    if (raw.back() != '\n') out += eol;  // the last line had no end
  }
  if (!sectionSeen) out += "[Default Applications]" + eol;
  if (!written) out += entry + eol;
  return out;
}

}  // namespace

std::string mimeTypeOf(std::string_view extension) {
  return "application/x-kurvana-" + std::string(extension);
}

Status registerFileType(std::string_view extension, const std::filesystem::path& executable,
                        const Environment& env) {
  const auto dataHome = xdgHome(env, "XDG_DATA_HOME", ".local/share");
  const auto configHome = xdgHome(env, "XDG_CONFIG_HOME", ".config");
  Status status;
  if (dataHome.empty()) return status;
  const std::string type = mimeTypeOf(extension);

  status.add(writeIn(dataHome / "mime" / "packages", "kurvana-" + std::string(extension) + ".xml",
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                     "  <mime-type type=\"" +
                         type +
                         "\">\n"
                         "    <comment>Kurvana function file (." +
                         std::string(extension) +
                         ")</comment>\n"
                         "    <icon name=\"" +
                         std::string(kIconName) +
                         "\"/>\n"
                         "    <glob pattern=\"*." +
                         std::string(extension) +
                         "\"/>\n"
                         "  </mime-type>\n"
                         "</mime-info>\n"));

  // An executable the entry cannot name gets neither the entry nor the
  // association: an entry left from an earlier start stays as it was (it may
  // still point at a working copy), and the default is not set to an entry
  // we did not write. The type definitions above name no program, so they
  // stay useful either way.
  if (!fitsDesktopEntry(executable.string())) return status;

  status.add(writeIn(dataHome / "applications", kDesktopFile,
                     "[Desktop Entry]\n"
                     "Type=Application\n"
                     "Name=Kurvana\n"
                     "Comment=Function plotter\n"
                     "Exec=" +
                         quotedExec(executable.string()) +
                         " %f\n"
                         "Icon=" +
                         std::string(kIconName) +
                         "\n"
                         "Terminal=false\n"
                         "Categories=Education;Math;\n"
                         "MimeType=" +
                         mimeTypeOf("kv1") + ";" + mimeTypeOf("kv2") + ";\n"));

  if (!configHome.empty()) {
    // The user's associations are never replaced by a guess: a list that
    // exists but cannot be read is left alone.
    const std::filesystem::path list = configHome / "mimeapps.list";
    std::error_code code;
    const bool exists =
        std::filesystem::exists(list, code) || std::filesystem::is_symlink(list, code);
    const auto old =
        exists ? readFileStart(list, kMaxListBytes).bytes : std::optional<std::string>("");
    if (old && old->size() < kMaxListBytes) {
      status.add(writeIn(configHome, "mimeapps.list", withDefaultApplication(*old, type)));
    }
  }
  return status;
}

Status installIcon(const std::string& png, const Environment& env) {
  const auto dataHome = xdgHome(env, "XDG_DATA_HOME", ".local/share");
  if (dataHome.empty() || png.empty()) return {};
  const std::filesystem::path folder = dataHome / "icons" / "hicolor" / "256x256" / "apps";
  const std::string name = std::string(kIconName) + ".png";
  if (readFileStart(folder / name, png.size() + 1).bytes == png) return {};
  return writeIn(folder, name, png);
}

Status registerFileTypes(const std::filesystem::path& executable, const std::string& iconPng,
                         const Environment& env, const CommandRunner& run) {
  Status status = registerFileType("kv1", executable, env);
  status.add(registerFileType("kv2", executable, env));
  status.add(installIcon(iconPng, env));
  const auto dataHome = xdgHome(env, "XDG_DATA_HOME", ".local/share");
  if (dataHome.empty()) return status;
  run({"update-mime-database", (dataHome / "mime").string()});
  run({"update-desktop-database", (dataHome / "applications").string()});
  return status;
}

}  // namespace kurvana
