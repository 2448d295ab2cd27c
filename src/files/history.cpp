#include "files/history.h"

#include <algorithm>

#include "base/product.h"
#include "files/atomic_file.h"
#include "files/file_lock.h"

namespace kurvana {
namespace {

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

using List = std::array<std::string, kHistorySize>;

// Ten entries of a formula field (at most 32767 characters each in the
// window) fit several times over; a larger file is not a history of ours.
constexpr std::size_t kMaxHistoryBytes = 1u << 20;

// The data folder's lock, held while a history is read and rewritten, so
// that two windows recording at once both end up in the files.
FileLock lockHistory(const std::filesystem::path& folder) {
  return FileLock(folder / kLockFileName, FileLock::Mode::kExclusive);
}

// Up to ten lines, LF or CR LF ended; the rest of the list stays empty. A
// missing file is an empty list. For a file that exists but cannot be read,
// or is larger than any history we write, the reason, and the list stays
// empty: it is then not written back either.
std::string readList(const std::filesystem::path& path, List& list) {
  list.fill(std::string());
  FileContents contents = readFile(path, kMaxHistoryBytes);
  if (contents.missing) return {};
  if (!contents.bytes) {
    // The reason alone; loadList names the file.
    const std::string prefix = "Cannot read \"" + path.string() + "\": ";
    const std::string problem = contents.status.message();
    return problem.starts_with(prefix) ? problem.substr(prefix.size()) : problem;
  }
  const std::string& text = *contents.bytes;
  std::size_t start = 0;
  for (auto& entry : list) {
    if (start >= text.size()) break;
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    entry = text.substr(start, end - start);
    if (!entry.empty() && entry.back() == '\r') entry.pop_back();
    start = end + 1;
  }
  return {};
}

// Reads history file `which` into `list` and notes whether it could be read;
// the message naming it only the first time it cannot be, so that every
// later Draw does not show it again.
std::string loadList(FormulaHistory& history, const std::filesystem::path& folder, int which,
                     List& list) {
  HistoryFileState& state = history.files[static_cast<std::size_t>(which - 1)];
  const std::filesystem::path path = historyFile(folder, which);
  state.unreadable = readList(path, list);
  if (state.unreadable.empty()) {
    state.reported = false;
    return {};
  }
  if (state.reported) return {};
  state.reported = true;
  return "Cannot read \"" + path.string() + "\": " + state.unreadable +
         ". Formulas are not added to this history until it can be read.";
}

bool unreadable(const FormulaHistory& history, int which) {
  return !history.files[static_cast<std::size_t>(which - 1)].unreadable.empty();
}

// Entries up to the last one that is not empty.
std::size_t used(const List& list) {
  std::size_t n = list.size();
  while (n > 0 && list[n - 1].empty()) --n;
  return n;
}

void dropNewest(List& list, std::size_t count) {
  std::move(list.begin() + static_cast<std::ptrdiff_t>(count), list.end(), list.begin());
  std::fill(list.end() - static_cast<std::ptrdiff_t>(count), list.end(), std::string());
}

// The pair as one unit. Both files are always written together, but a crash
// between the two renames, or a pair left by an older version, can leave one
// list with newer entries than the other; those have no partner and sit at the
// top, so dropping them puts entry k of both back to the same drawing.
std::string loadPair(FormulaHistory& history, const std::filesystem::path& folder) {
  std::string problem = loadList(history, folder, 2, history.historyF2);
  const std::string second = loadList(history, folder, 3, history.historyG2);
  if (!second.empty()) problem += (problem.empty() ? "" : "\n") + second;
  if (unreadable(history, 2) || unreadable(history, 3)) {
    history.historyF2.fill(std::string());
    history.historyG2.fill(std::string());
    return problem;
  }
  const std::size_t f = used(history.historyF2);
  const std::size_t g = used(history.historyG2);
  if (f > g) dropNewest(history.historyF2, f - g);
  if (g > f) dropNewest(history.historyG2, g - f);
  return problem;
}

std::string listText(const List& list) {
  std::string text;
  for (const auto& entry : list) text += entry + "\r\n";
  return text;
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

std::filesystem::path historyFile(const std::filesystem::path& folder, int which) {
  const std::string suffix = which == 1 ? ".lst" : std::to_string(which) + ".lst";
  return folder / (std::string(kProductName) + suffix);
}

LoadedHistory loadHistory(FormulaHistory& history, const std::filesystem::path& folder,
                          bool twoFunctions) {
  const FileLock lock = lockHistory(folder);  // the pair is read as written
  LoadedHistory loaded;
  if (!twoFunctions) {
    loaded.status.add(loadList(history, folder, 1, history.historyF));
    const std::string& newest = history.historyF[0];
    loaded.newest.f = newest.empty() ? "F(x)=" : newest;
  } else {
    loaded.status.add(loadPair(history, folder));
    const std::string& f = history.historyF2[0];
    const std::string& g = history.historyG2[0];
    loaded.newest.f = f.empty() ? "F(x)=" : f;
    loaded.newest.g = g.empty() ? "G(x)=" : g;
  }
  history.historyIndex = 2;
  return loaded;
}

// The list is read again under the lock before anything is recorded, so the
// new formula goes on top of what is there now, whoever wrote it.
Status recordHistory(FormulaHistory& history, const std::filesystem::path& folder,
                     const std::string& fTyped, const std::string* gTyped) {
  const FileLock lock = lockHistory(folder);
  const std::string f = oneLine(fTyped);
  Status status;
  if (gTyped == nullptr) {
    status.add(loadList(history, folder, 1, history.historyF));
    if (unreadable(history, 1)) return status;
    if (upper(f) == upper(history.historyF[0])) return status;
    push(history.historyF, f);
    return writeFileAtomically(historyFile(folder, 1), listText(history.historyF));
  }
  status.add(loadPair(history, folder));
  if (unreadable(history, 2) || unreadable(history, 3)) return status;
  const std::string g = oneLine(*gTyped);
  if (upper(f) == upper(history.historyF2[0]) && upper(g) == upper(history.historyG2[0])) {
    return status;
  }
  push(history.historyF2, f);
  push(history.historyG2, g);
  return writeFilesTogether({{historyFile(folder, 2), listText(history.historyF2)},
                             {historyFile(folder, 3), listText(history.historyG2)}});
}

std::optional<HistoryFormulas> nextHistoryFormula(FormulaHistory& history, bool twoFunctions,
                                                  const HistoryFormulas& shown) {
  auto& index = history.historyIndex;
  if (index < 1 || index > kHistorySize) index = 1;
  for (int attempt = 0; attempt < kHistorySize + 1; ++attempt) {
    const auto k = static_cast<std::size_t>(index - 1);
    std::optional<HistoryFormulas> found;
    if (!twoFunctions) {
      const std::string& entry = history.historyF[k];
      if (!entry.empty() && entry != shown.f) found = HistoryFormulas{entry, {}};
    } else {
      const std::string& f = history.historyF2[k];
      const std::string& g = history.historyG2[k];
      if ((!f.empty() && f != shown.f) || (!g.empty() && g != shown.g)) {
        found = HistoryFormulas{f, g};
      }
    }
    index = index % kHistorySize + 1;
    if (found) return found;
  }
  return std::nullopt;
}

}  // namespace kurvana
