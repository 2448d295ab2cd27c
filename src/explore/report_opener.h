// Opens the report with the desktop's default handler. The editor a previous
// report opened is left alone: it may hold the user's unsaved work, and
// editors that are already running usually take the next file into the same
// window themselves.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kurvana {

class ReportOpener {
 public:
  // `command` opens a file given as its last argument.
  explicit ReportOpener(std::vector<std::string> command = {"xdg-open"});

  // Starts the command for `path` and returns at once; nothing waits for the
  // editor. False when the command could not be started.
  bool open(const std::filesystem::path& path) const;

 private:
  std::vector<std::string> command_;
};

}  // namespace kurvana
