// The per-user data folder and the formula history: the last ten formulas
// drawn in each mode, kept in files of ten lines.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "plot/plot_view.h"

namespace kurvana {

inline constexpr char kProductName[] = "Kurvana";

// Looks up an environment variable; null when unset.
using Environment = std::function<const char*(const char*)>;

// The user's documents folder as the desktop names it: XDG_DOCUMENTS_DIR from
// user-dirs.dirs in XDG_CONFIG_HOME (default ~/.config), else ~/Documents.
// Nothing when HOME is unknown.
std::optional<std::filesystem::path> documentsFolder(const Environment& env);

// documentsFolder/Talvoren/Kurvana, created when missing; nothing when it
// cannot be found or created, with a message naming the folder and the reason
// in `error` when given.
std::optional<std::filesystem::path> dataFolder(const Environment& env,
                                                std::string* error = nullptr);

inline constexpr int kHistorySize = 10;

// Why a history file could not be read at the last try: empty when it was
// read or does not exist. Its list is not recorded into meanwhile, so the
// entries it holds are never replaced by a shorter list.
struct HistoryFileState {
  std::string unreadable;
  bool reported = false;  // the reason has been handed out once
};

struct FormulaHistory {
  // Entry 1 (index 0) is the newest; an empty string is an empty entry.
  std::array<std::string, kHistorySize> historyF;   // one-function mode
  std::array<std::string, kHistorySize> historyF2;  // two-function mode, F
  std::array<std::string, kHistorySize> historyG2;  // two-function mode, G, in step
  int historyIndex = 2;                   // 1-based: the entry the history button tries next
  std::array<HistoryFileState, 3> files;  // Kurvana.lst, Kurvana2.lst, Kurvana3.lst
};

// Kurvana.lst, Kurvana2.lst and Kurvana3.lst in the data folder.
std::filesystem::path historyFile(const std::filesystem::path& folder, int which);

// Reads the lists of the mode (up to ten lines each; missing files leave them
// empty) and, when asked, puts entry 1 into the formula fields, or the bare
// label when it is empty. Sets historyIndex to 2.
//
// A file that exists but cannot be read, is not a regular file or is larger
// than 1 MiB leaves its list empty and not recorded into; the message naming
// it is returned the first time only (empty otherwise). Kurvana2.lst and
// Kurvana3.lst are one unit: when either cannot be read, both lists are empty
// and neither is recorded into; when their lengths differ (a write of the pair
// was cut short), the newest entries of the longer list, which have no
// partner, are dropped.
std::string loadHistory(FormulaHistory& history, const std::filesystem::path& folder,
                        bool twoFunctions, PlotView& view, bool fillFromHistory);

// Records the formula texts as typed on top of the mode's files as they are
// now: under the data folder's lock (Kurvana.lock, shared with every other
// Kurvana window of the user) the files are read again, and unless the texts
// equal their newest entries, ignoring letter case, they are pushed on top
// and the files rewritten; the pair is written as one unit (both or neither).
// The lists in `history` then hold what the files hold. g is null with one
// function. While a file cannot be read, nothing is recorded. Empty on
// success, else the message of the failed write, or of the unreadable file
// the first time it is met.
std::string recordHistory(FormulaHistory& history, const std::filesystem::path& folder,
                          const std::string& f, const std::string* g);

// The history button: puts the next entry that differs from the fields into
// them, trying at most eleven entries; beeps when none does.
void nextHistoryFormula(FormulaHistory& history, bool twoFunctions, PlotView& view);

}  // namespace kurvana
