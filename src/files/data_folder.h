// Where the program keeps its files: the per-user data folder under the
// desktop's documents folder.
#pragma once

#include <filesystem>
#include <optional>

#include "base/product.h"
#include "base/status.h"

namespace kurvana {

// The user's documents folder as the desktop names it: XDG_DOCUMENTS_DIR from
// user-dirs.dirs in XDG_CONFIG_HOME (default ~/.config), else ~/Documents.
// Nothing when HOME is unknown.
std::optional<std::filesystem::path> documentsFolder(const Environment& env);

// documentsFolder/Talvoren/Kurvana, created when missing; `folder` is empty
// when it cannot be found or created, and the status names the folder and
// the reason (a fatal one: the program cannot go on without it).
struct [[nodiscard]] DataFolder {
  std::optional<std::filesystem::path> folder;
  Status status;
};
DataFolder dataFolder(const Environment& env);

}  // namespace kurvana
