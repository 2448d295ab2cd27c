// Interface languages: translation files (UTF-16 LE, line 1 the language's
// name, lines 2..36 the 35 texts) and the file naming the chosen language.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plot/interface_texts.h"

namespace kurvana {

// UTF-16 LE bytes (an optional FF FE mark skipped) as UTF-8 lines; CR LF, LF
// and a lone CR all end a line. Unpaired surrogates become U+FFFD and an odd
// last byte is ignored.
std::vector<std::string> decodeUtf16Lines(std::string_view bytes);

// UTF-8 text as UTF-16 LE with the FF FE mark; invalid bytes become U+FFFD.
std::string encodeUtf16(std::string_view utf8);

struct LanguageFile {
  std::string name;                // line 1, as the language list shows it
  std::vector<std::string> texts;  // lines 2.., at most 35
};

// Nothing when the file cannot be read; `error` then says why.
std::optional<LanguageFile> readLanguageFile(const std::filesystem::path& path,
                                             std::string* error = nullptr);

// English first, then the file's texts in order: texts the file lacks stay
// English, lines beyond the 35 texts are ignored.
void applyLanguage(InterfaceTexts& texts, const LanguageFile& language);

// Files named lang_*.txt in each folder, folders in the order given (the
// program's own folder first), names sorted within a folder.
std::vector<std::filesystem::path> listLanguageFiles(
    const std::vector<std::filesystem::path>& folders);

// Where translations are looked for: the executable's own folder, then the
// installed data folder <prefix>/share/kurvana beside its bin folder.
std::vector<std::filesystem::path> languageFolders(const std::filesystem::path& executable);

// The chosen-language file (Kurvana.lng): its first line, or empty when it
// is missing or unreadable.
std::string readChosenLanguage(const std::filesystem::path& path);
// One line with CR LF, UTF-16 LE with the mark, written atomically; empty on
// success, else the message.
std::string writeChosenLanguage(const std::filesystem::path& path, std::string_view name);

}  // namespace kurvana
