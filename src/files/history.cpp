#include "files/history.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// Up to ten lines, LF or CR LF ended; the rest of the list stays empty.
void readList(const std::filesystem::path& path, std::array<std::string, kHistorySize>& list) {
  list.fill(std::string());
  std::ifstream in(path, std::ios::binary);
  std::string line;
  for (auto& entry : list) {
    if (!std::getline(in, line)) break;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    entry = line;
  }
}

std::string writeList(const std::filesystem::path& path,
                      const std::array<std::string, kHistorySize>& list) {
  std::string text;
  for (const auto& entry : list) text += entry + "\r\n";
  return writeFileAtomically(path, text);
}

void push(std::array<std::string, kHistorySize>& list, const std::string& text) {
  std::move_backward(list.begin(), list.end() - 1, list.end());
  list[0] = text;
}

// A formula field holds one line; so does each history entry.
std::string oneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

}  // namespace

std::optional<std::filesystem::path> documentsFolder(const Environment& env) {
  const char* home = env("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  const std::filesystem::path homePath(home);
  const char* configHome = env("XDG_CONFIG_HOME");
  const std::filesystem::path config = configHome != nullptr && *configHome != '\0'
                                           ? std::filesystem::path(configHome)
                                           : homePath / ".config";
  std::ifstream dirs(config / "user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    if (!line.starts_with(kKey) || line.size() < kKey.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
    if (value.starts_with("$HOME")) value = std::string(home) + value.substr(5);
    if (!value.empty() && value.front() == '/') return std::filesystem::path(value);
  }
  return homePath / "Documents";
}

std::optional<std::filesystem::path> dataFolder(const Environment& env, std::string* error) {
  const auto documents = documentsFolder(env);
  if (!documents) {
    if (error != nullptr) {
      *error = "Kurvana cannot find your documents folder: the HOME variable is not set.";
    }
    return std::nullopt;
  }
  const auto folder = *documents / "Talvoren" / kProductName;
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  std::error_code isFolder;
  if (!std::filesystem::is_directory(folder, isFolder)) {
    if (error != nullptr) {
      const std::string reason = code ? code.message() : "a file of that name is in the way";
      *error = "Kurvana cannot create its data folder \"" + folder.string() + "\": " + reason + ".";
    }
    return std::nullopt;
  }
  return folder;
}

std::filesystem::path historyFile(const std::filesystem::path& folder, int which) {
  const std::string suffix = which == 1 ? ".lst" : std::to_string(which) + ".lst";
  return folder / (std::string(kProductName) + suffix);
}

void loadHistory(FormulaHistory& history, const std::filesystem::path& folder, bool twoFunctions,
                 PlotView& view, bool fillFromHistory) {
  if (!twoFunctions) {
    readList(historyFile(folder, 1), history.historyF);
    if (fillFromHistory) {
      const std::string& newest = history.historyF[0];
      view.setFieldText(Field::kFormulaF, newest.empty() ? "F(x)=" : newest);
    }
  } else {
    readList(historyFile(folder, 2), history.historyF2);
    readList(historyFile(folder, 3), history.historyG2);
    if (fillFromHistory) {
      const std::string& f = history.historyF2[0];
      const std::string& g = history.historyG2[0];
      view.setFieldText(Field::kFormulaF, f.empty() ? "F(x)=" : f);
      view.setFieldText(Field::kFormulaG, g.empty() ? "G(x)=" : g);
    }
  }
  history.historyIndex = 2;
}

std::string recordHistory(FormulaHistory& history, const std::filesystem::path& folder,
                          const std::string& fTyped, const std::string* gTyped) {
  const std::string f = oneLine(fTyped);
  if (gTyped == nullptr) {
    if (upper(f) == upper(history.historyF[0])) return {};
    push(history.historyF, f);
    return writeList(historyFile(folder, 1), history.historyF);
  }
  const std::string g = oneLine(*gTyped);
  if (upper(f) == upper(history.historyF2[0]) && upper(g) == upper(history.historyG2[0])) {
    return {};
  }
  push(history.historyF2, f);
  push(history.historyG2, g);
  std::string problem = writeList(historyFile(folder, 2), history.historyF2);
  const std::string second = writeList(historyFile(folder, 3), history.historyG2);
  return problem.empty() ? second : problem;
}

void nextHistoryFormula(FormulaHistory& history, bool twoFunctions, PlotView& view) {
  auto& index = history.historyIndex;
  if (index < 1 || index > kHistorySize) index = 1;
  for (int attempt = 0; attempt < kHistorySize + 1; ++attempt) {
    const auto k = static_cast<std::size_t>(index - 1);
    bool found = false;
    if (!twoFunctions) {
      const std::string& entry = history.historyF[k];
      if (!entry.empty() && entry != view.fieldText(Field::kFormulaF)) {
        view.setFieldText(Field::kFormulaF, entry);
        found = true;
      }
    } else {
      const std::string& f = history.historyF2[k];
      const std::string& g = history.historyG2[k];
      if ((!f.empty() && f != view.fieldText(Field::kFormulaF)) ||
          (!g.empty() && g != view.fieldText(Field::kFormulaG))) {
        view.setFieldText(Field::kFormulaF, f);
        view.setFieldText(Field::kFormulaG, g);
        found = true;
      }
    }
    index = index % kHistorySize + 1;
    if (found) return;
  }
  view.beep();
}

}  // namespace kurvana
