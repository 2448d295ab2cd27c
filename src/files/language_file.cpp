#include "files/language_file.h"

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <utility>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
// The chosen-language file is held to the same limit as a language file.
constexpr std::size_t kMaxFileBytes = kMaxLanguageFileBytes;

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

unsigned char byteAt(std::string_view bytes, std::size_t i) {
  return static_cast<unsigned char>(bytes[i]);
}

// Code points of UTF-8 bytes; each byte that starts no complete, shortest,
// in-range sequence becomes U+FFFD and clears `valid`.
std::u32string utf8CodePoints(std::string_view bytes, bool& valid) {
  std::u32string out;
  out.reserve(bytes.size());  // at most one code point a byte
  valid = true;
  for (std::size_t i = 0; i < bytes.size();) {
    const unsigned char b = byteAt(bytes, i);
    const int length = b < 0x80           ? 1
                       : (b >> 5) == 0x6  ? 2
                       : (b >> 4) == 0xE  ? 3
                       : (b >> 3) == 0x1E ? 4
                                          : 0;
    char32_t c = kReplacement;
    bool whole = false;
    if (length == 1) {
      c = b;
      whole = true;
    } else if (length > 1 && i + static_cast<std::size_t>(length) <= bytes.size()) {
      char32_t value = b & (0x7F >> length);
      bool continued = true;
      for (int k = 1; k < length; ++k) {
        const unsigned char next = byteAt(bytes, i + static_cast<std::size_t>(k));
        continued = continued && (next & 0xC0) == 0x80;
        value = (value << 6) | (next & 0x3F);
      }
      const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
      whole = continued && value >= minimum && value <= 0x10FFFF &&
              !(value >= 0xD800 && value <= 0xDFFF);
      if (whole) c = value;
    }
    valid = valid && whole;
    out += c;
    i += whole ? static_cast<std::size_t>(length) : 1;
  }
  return out;
}

// Code points of UTF-16 bytes; an odd last byte is ignored.
std::u32string utf16CodePoints(std::string_view bytes, bool bigEndian) {
  std::u32string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const unsigned char low = byteAt(bytes, bigEndian ? i + 1 : i);
    const unsigned char high = byteAt(bytes, bigEndian ? i : i + 1);
    units += static_cast<char32_t>(low | (high << 8));
  }
  std::u32string out;
  out.reserve(units.size());
  for (std::size_t k = 0; k < units.size(); ++k) {
    char32_t c = units[k];
    if (c >= 0xD800 && c <= 0xDBFF && k + 1 < units.size() && units[k + 1] >= 0xDC00 &&
        units[k + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[k + 1] - 0xDC00);
      ++k;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    out += c;
  }
  return out;
}

// Unmarked UTF-16 betrays itself by the zero high bytes of its ASCII
// characters, all on one side of each pair; UTF-8 text has no zero bytes.
std::optional<bool> unmarkedUtf16IsBigEndian(std::string_view bytes) {
  std::size_t evenZeros = 0;
  std::size_t oddZeros = 0;
  // A whole file of UTF-16 has an even length; without a mark, an odd one
  // is evidence against it.
  if (bytes.size() % 2 != 0) return std::nullopt;
  const std::size_t pairs = bytes.size() / 2;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\0') ++(i % 2 == 0 ? evenZeros : oddZeros);
  }
  const auto dominant = [pairs](std::size_t zeros, std::size_t others) {
    return zeros > 0 && zeros * 8 >= pairs && zeros >= 4 * others;
  };
  if (dominant(oddZeros, evenZeros)) return false;
  if (dominant(evenZeros, oddZeros)) return true;
  return std::nullopt;
}

// Control characters and the noncharacters a wrong byte order produces.
bool isNonsense(char32_t c) {
  return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || (c >= 0x7F && c <= 0x9F) ||
         c == 0xFFFE || c == 0xFFFF;
}

std::vector<std::string> splitLines(const std::u32string& text) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // characters since the last line end
  for (std::size_t k = 0; k < text.size(); ++k) {
    const char32_t c = text[k];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(line));
      line.clear();  // moved from: valid, but not necessarily empty
      open = false;
      if (c == '\r' && k + 1 < text.size() && text[k + 1] == '\n') ++k;
      continue;
    }
    appendUtf8(line, c);
    open = true;
  }
  if (open) lines.push_back(std::move(line));
  return lines;
}

// The file's lines when it is text of a sensible size.
std::optional<std::vector<std::string>> readTextLines(const std::filesystem::path& path,
                                                      Status& status) {
  FileContents contents = readFileStart(path, kMaxFileBytes + 1);
  status = std::move(contents.status);
  if (!contents.bytes || contents.bytes->size() > kMaxFileBytes) return std::nullopt;
  return decodeTextLines(*contents.bytes);
}

}  // namespace

std::vector<std::string> decodeUtf16Lines(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) bytes.remove_prefix(2);
  return splitLines(utf16CodePoints(bytes, false));
}

std::optional<std::vector<std::string>> decodeTextLines(std::string_view bytes) {
  std::u32string text;
  bool valid = true;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    text = utf8CodePoints(bytes.substr(3), valid);
  } else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    text = utf16CodePoints(bytes.substr(2), byteAt(bytes, 0) == 0xFE);
  } else if (const auto bigEndian = unmarkedUtf16IsBigEndian(bytes)) {
    text = utf16CodePoints(bytes, *bigEndian);
  } else {
    text = utf8CodePoints(bytes, valid);
    if (!valid) return std::nullopt;
  }
  if (std::any_of(text.begin(), text.end(), isNonsense)) return std::nullopt;
  return splitLines(text);
}

std::string encodeUtf16(std::string_view utf8) {
  std::string out = "\xFF\xFE";
  bool valid = true;
  for (const char32_t c : utf8CodePoints(utf8, valid)) appendUtf16(out, c);
  return out;
}

LanguageFileRead readLanguageFile(const std::filesystem::path& path) {
  LanguageFileRead read;
  auto lines = readTextLines(path, read.status);
  if (!read.status.ok()) return read;
  // A blank name would be an empty-looking item in the list.
  const auto blank = [](const std::string& name) {
    return std::all_of(name.begin(), name.end(), [](char c) { return c == ' ' || c == '\t'; });
  };
  if (!lines || lines->empty() || blank(lines->front())) return read;
  LanguageFile& file = read.language.emplace();
  file.name = lines->front();
  for (std::size_t k = 1; k < lines->size() && file.texts.size() < kTextCount; ++k) {
    file.texts.push_back(std::move((*lines)[k]));
  }
  return read;
}

void applyLanguage(InterfaceTexts& texts, const LanguageFile& language) {
  texts = InterfaceTexts();
  for (std::size_t k = 0; k < language.texts.size() && k < kTextCount; ++k) {
    texts.languageTexts[k] = language.texts[k];
  }
}

LanguageList readLanguageFiles(const std::vector<std::filesystem::path>& files,
                               std::uintmax_t maxTotalBytes) {
  LanguageList list;
  std::uintmax_t total = 0;
  for (const auto& path : files) {
    std::error_code code;
    std::uintmax_t size = std::filesystem::file_size(path, code);
    // No size (gone since listing, a folder on the way we may not search):
    // the read fails at once, costing nothing, and its message says why.
    if (code) size = 0;
    if (size > kMaxLanguageFileBytes) continue;  // not a language file; not worth reading
    if (size > maxTotalBytes - total) {
      const bool mebibytes = maxTotalBytes > 0 && maxTotalBytes % (1 << 20) == 0;
      list.status.add(
          "Language file \"" + path.string() +
          "\" and those after it are left out: all language files together may not exceed " +
          std::to_string(mebibytes ? maxTotalBytes >> 20 : maxTotalBytes) +
          (mebibytes ? " MiB." : " bytes."));
      break;
    }
    total += size;
    LanguageFileRead read = readLanguageFile(path);
    list.status.add(std::move(read.status));
    if (read.language) list.languages.push_back(ListedLanguage{path, std::move(*read.language)});
  }
  return list;
}

std::vector<std::filesystem::path> listLanguageFiles(
    const std::vector<std::filesystem::path>& folders) {
  // Any letter case: translations made on case-insensitive file systems
  // arrive as LANG_DE.TXT. ASCII only, whatever the locale says about 'I'.
  const auto matches = [](std::string name) {
    for (char& c : name) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return name.starts_with("lang_") && name.ends_with(".txt");
  };
  std::vector<std::filesystem::path> found;
  for (const auto& folder : folders) {
    std::vector<std::filesystem::path> here;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
      std::error_code ignored;  // a dangling link is simply no regular file
      if (entry->is_regular_file(ignored) && matches(entry->path().filename().string())) {
        here.push_back(entry->path());
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

std::vector<std::filesystem::path> translationFiles(
    const std::filesystem::path& languageFile, const std::vector<std::filesystem::path>& folders) {
  const std::string name = languageFile.filename().string();
  std::string lower = name;
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  constexpr std::string_view kPrefix = "lang_";
  constexpr std::string_view kSuffix = ".txt";
  if (name.size() <= kPrefix.size() + kSuffix.size() || !lower.starts_with(kPrefix) ||
      !lower.ends_with(kSuffix)) {
    return {};
  }
  const std::size_t length = name.size() - kPrefix.size() - kSuffix.size();
  const std::string code = name.substr(kPrefix.size(), length);
  const std::string lowerCode = lower.substr(kPrefix.size(), length);
  std::vector<std::filesystem::path> files;
  for (const auto& folder : folders) {
    files.push_back(folder / ("kurvana_" + code + ".qm"));
    if (lowerCode != code) files.push_back(folder / ("kurvana_" + lowerCode + ".qm"));
  }
  return files;
}

ChosenLanguage readChosenLanguage(const std::filesystem::path& path) {
  Status status;
  const auto lines = readTextLines(path, status);
  if (!status.ok()) {
    std::error_code code;
    // Missing is the first run; a folder on the way we may not search is not.
    if (!std::filesystem::exists(path, code) && !code) return {};
    return {{}, std::move(status)};
  }
  if (!lines || lines->empty()) return {};
  return {lines->front(), {}};
}

Status writeChosenLanguage(const std::filesystem::path& path, std::string_view name) {
  return writeFileAtomically(path, encodeUtf16(std::string(name) + "\r\n"));
}

}  // namespace kurvana
