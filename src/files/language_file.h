// Interface languages: translation files (line 1 the language's name, lines
// 2..36 the 35 texts) and the file naming the chosen language. Both are
// written as UTF-16 LE; UTF-16 BE and UTF-8 are read as well.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"
#include "plot/interface_texts.h"

namespace kurvana {

// UTF-16 LE bytes (an optional FF FE mark skipped) as UTF-8 lines; CR LF, LF
// and a lone CR all end a line. Unpaired surrogates become U+FFFD and an odd
// last byte is ignored.
std::vector<std::string> decodeUtf16Lines(std::string_view bytes);

// Text in any encoding a language file may use, as UTF-8 lines (line ends
// as above). A mark decides: FF FE UTF-16 LE, FE FF UTF-16 BE, EF BB BF
// UTF-8; damage under a mark (unpaired surrogates, invalid UTF-8) becomes
// U+FFFD. Unmarked bytes of even length are UTF-16 when at least one
// character in eight has a zero byte on the same side (first: BE, second:
// LE) and that side holds at least four times the zeros of the other;
// otherwise they must be valid UTF-8. Nothing when they are neither, or when
// the text holds control characters other than tab and line ends, or
// U+FFFE or U+FFFF: that is not text.
std::optional<std::vector<std::string>> decodeTextLines(std::string_view bytes);

// UTF-8 text as UTF-16 LE with the FF FE mark; invalid bytes become U+FFFD.
std::string encodeUtf16(std::string_view utf8);

// A language file is 36 short lines; a larger file is not one.
inline constexpr std::uintmax_t kMaxLanguageFileBytes = 1 << 20;
// All language files read in one start together. A real translation is a
// few kilobytes, so this holds hundreds of them; a folder of junk near the
// single-file limit is then read, decoded and kept only up to this much,
// a fraction of a second, instead of stalling the start without bound.
inline constexpr std::uintmax_t kMaxLanguageBytes = 4 << 20;

struct LanguageFile {
  std::string name;                // line 1, as the language list shows it
  std::vector<std::string> texts;  // lines 2.., at most 35
};
// No language and an ok status: not text (see decodeTextLines), larger than
// kMaxLanguageFileBytes, or a blank first line (nothing to pick in the list),
// so the file is left out without a word. No language and a failed status:
// `Cannot read "<path>": <reason>`, for a message box.
struct [[nodiscard]] LanguageFileRead {
  std::optional<LanguageFile> language;
  Status status;
};
LanguageFileRead readLanguageFile(const std::filesystem::path& path);

// English first, then the file's texts in order: texts the file lacks stay
// English, lines beyond the 35 texts are ignored.
void applyLanguage(InterfaceTexts& texts, const LanguageFile& language);

// The language files among `files` (as listLanguageFiles gives them), read
// in order, with the read failures as messages. Sizes are looked up before
// reading: a file over kMaxLanguageFileBytes is left out unread and without
// a word; the first file that would take the sizes of the files read so far
// beyond `maxTotalBytes` is left out, and every one after it, unread, with
// one message naming it.
struct ListedLanguage {
  std::filesystem::path file;
  LanguageFile language;
};
struct [[nodiscard]] LanguageList {
  std::vector<ListedLanguage> languages;
  Status status;  // the read failures and the one message about the total
};
LanguageList readLanguageFiles(const std::vector<std::filesystem::path>& files,
                               std::uintmax_t maxTotalBytes = kMaxLanguageBytes);

// Regular files (or links to one) named lang_*.txt in any letter case in
// each folder, folders in the order given (the program's own folder first),
// names sorted within a folder.
std::vector<std::filesystem::path> listLanguageFiles(
    const std::vector<std::filesystem::path>& folders);

// Where translations are looked for: the executable's own folder, then the
// installed data folder <prefix>/share/kurvana beside its bin folder.
std::vector<std::filesystem::path> languageFolders(const std::filesystem::path& executable);

// The window's own catalogue for the texts a language file does not carry
// (menus, tool tips, file dialogs, problem messages), looked for by the
// language file's name: for lang_<code>.txt (any letter case, as listed)
// kurvana_<code>.qm in each folder in order, with the code in lower case
// after it where that differs. None for a name with an empty code or of
// another form.
std::vector<std::filesystem::path> translationFiles(
    const std::filesystem::path& languageFile, const std::vector<std::filesystem::path>& folders);

// The chosen-language file (Kurvana.lng): its first line. The name is empty
// when the file is missing (first run) or not text; the status fails, and the
// name is empty, only when it exists but cannot be read.
struct [[nodiscard]] ChosenLanguage {
  std::string name;
  Status status;
};
ChosenLanguage readChosenLanguage(const std::filesystem::path& path);
// One line with CR LF, UTF-16 LE with the mark, written atomically.
Status writeChosenLanguage(const std::filesystem::path& path, std::string_view name);

}  // namespace kurvana
