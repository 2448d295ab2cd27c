#include "files/language_file.h"

#include <algorithm>
#include <cstdint>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// A language file is 36 short lines; more than this is not one.
constexpr std::size_t kMaxFileBytes = 1 << 20;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendUtf16(std::string& out, char32_t c) {
  const auto unit = [&out](std::uint16_t u) {
    out += static_cast<char>(u & 0xFF);
    out += static_cast<char>(u >> 8);
  };
  if (c < 0x10000) {
    unit(static_cast<std::uint16_t>(c));
  } else {
    c -= 0x10000;
    unit(static_cast<std::uint16_t>(0xD800 | (c >> 10)));
    unit(static_cast<std::uint16_t>(0xDC00 | (c & 0x3FF)));
  }
}

}  // namespace

std::vector<std::string> decodeUtf16Lines(std::string_view bytes) {
  std::size_t i = 0;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    i = 2;
  }
  std::vector<char32_t> units;
  for (; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<unsigned char>(bytes[i]) |
                    (static_cast<unsigned char>(bytes[i + 1]) << 8));
  }
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // characters since the last line end
  for (std::size_t k = 0; k < units.size(); ++k) {
    char32_t c = units[k];
    if (c == '\r' || c == '\n') {
      lines.push_back(line);
      line.clear();
      open = false;
      if (c == '\r' && k + 1 < units.size() && units[k + 1] == '\n') ++k;
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
        units[k + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[k + 1] - 0xDC00);
      ++k;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    appendUtf8(line, c);
    open = true;
  }
  if (open) lines.push_back(line);
  return lines;
}

std::string encodeUtf16(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    const int length = b < 0x80           ? 1
                       : (b >> 5) == 0x6  ? 2
                       : (b >> 4) == 0xE  ? 3
                       : (b >> 3) == 0x1E ? 4
                                          : 0;
    char32_t c = kReplacement;
    bool whole = false;  // a complete, well-formed sequence of `length` bytes
    if (length == 1) {
      c = b;
      whole = true;
    } else if (length > 1 && i + static_cast<std::size_t>(length) <= utf8.size()) {
      char32_t value = b & (0x7F >> length);
      bool valid = true;
      for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
        valid = valid && (next & 0xC0) == 0x80;
        value = (value << 6) | (next & 0x3F);
      }
      const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
      whole =
          valid && value >= minimum && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF);
      if (whole) c = value;
    }
    appendUtf16(out, c);
    i += whole ? static_cast<std::size_t>(length) : 1;
  }
  return out;
}

std::optional<LanguageFile> readLanguageFile(const std::filesystem::path& path,
                                             std::string* error) {
  const auto bytes = readFileStart(path, kMaxFileBytes, error);
  if (!bytes) return std::nullopt;
  std::vector<std::string> lines = decodeUtf16Lines(*bytes);
  LanguageFile file;
  if (!lines.empty()) file.name = lines.front();
  for (std::size_t k = 1; k < lines.size() && file.texts.size() < kTextCount; ++k) {
    file.texts.push_back(lines[k]);
  }
  return file;
}

void applyLanguage(InterfaceTexts& texts, const LanguageFile& language) {
  texts = InterfaceTexts();
  for (std::size_t k = 0; k < language.texts.size() && k < kTextCount; ++k) {
    texts.languageTexts[k] = language.texts[k];
  }
}

std::vector<std::filesystem::path> listLanguageFiles(
    const std::vector<std::filesystem::path>& folders) {
  std::vector<std::filesystem::path> found;
  for (const auto& folder : folders) {
    std::vector<std::filesystem::path> here;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
      const std::string name = entry.path().filename().string();
      if (entry.is_regular_file(error) && name.starts_with("lang_") && name.ends_with(".txt")) {
        here.push_back(entry.path());
      }
    }
    std::sort(here.begin(), here.end());
    found.insert(found.end(), here.begin(), here.end());
  }
  return found;
}

std::vector<std::filesystem::path> languageFolders(const std::filesystem::path& executable) {
  const auto own = executable.parent_path();
  return {own, own.parent_path() / "share" / "kurvana"};
}

std::string readChosenLanguage(const std::filesystem::path& path) {
  const auto bytes = readFileStart(path, kMaxFileBytes);
  if (!bytes) return {};
  const auto lines = decodeUtf16Lines(*bytes);
  return lines.empty() ? std::string() : lines.front();
}

std::string writeChosenLanguage(const std::filesystem::path& path, std::string_view name) {
  return writeFileAtomically(path, encodeUtf16(std::string(name) + "\r\n"));
}

}  // namespace kurvana
