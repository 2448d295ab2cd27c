// The formula history: the last ten formulas drawn in each mode, kept in
// files of ten lines in the data folder.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "base/status.h"

namespace kurvana {

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

// The formula texts the fields are to show; g stays empty with one function.
struct HistoryFormulas {
  std::string f;
  std::string g;
};

// Reads the lists of the mode (up to ten lines each; missing files leave them
// empty) and returns entry 1 for the formula fields, or the bare label
// ("F(x)=", "G(x)=") where it is empty. Sets historyIndex to 2.
//
// A file that exists but cannot be read, is not a regular file or is larger
// than 1 MiB leaves its list empty and not recorded into; the message naming
// it is in the status the first time only (ok otherwise). Kurvana2.lst and
// Kurvana3.lst are one unit: when either cannot be read, both lists are empty
// and neither is recorded into; when their lengths differ (a write of the pair
// was cut short), the newest entries of the longer list, which have no
// partner, are dropped.
struct [[nodiscard]] LoadedHistory {
  HistoryFormulas newest;
  Status status;
};
LoadedHistory loadHistory(FormulaHistory& history, const std::filesystem::path& folder,
                          bool twoFunctions);

// Records the formula texts as typed on top of the mode's files as they are
// now: under the data folder's lock (Kurvana.lock, shared with every other
// Kurvana window of the user) the files are read again, and unless the texts
// equal their newest entries, ignoring letter case, they are pushed on top
// and the files rewritten; the pair is written as one unit (both or neither).
// The lists in `history` then hold what the files hold. g is null with one
// function. While a file cannot be read, nothing is recorded. The status
// holds the message of the failed write, or of the unreadable file the first
// time it is met.
Status recordHistory(FormulaHistory& history, const std::filesystem::path& folder,
                     const std::string& f, const std::string* g);

// The history button: the next entry that differs from the formulas `shown`
// in the fields, trying at most eleven entries; nothing when none does (the
// window beeps).
std::optional<HistoryFormulas> nextHistoryFormula(FormulaHistory& history, bool twoFunctions,
                                                  const HistoryFormulas& shown);

}  // namespace kurvana
