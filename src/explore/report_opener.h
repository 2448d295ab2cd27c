// Opens the report with the desktop's default handler and, before opening the
// next one, closes the editor it started for the previous report, so Draws do
// not pile up editors.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace kurvana {

class ReportOpener {
 public:
  // `command` opens a file given as its last argument.
  explicit ReportOpener(std::vector<std::string> command = {"xdg-open"});
  ReportOpener(const ReportOpener&) = delete;
  ReportOpener& operator=(const ReportOpener&) = delete;
  // An editor still open stays open when the program ends.
  ~ReportOpener() = default;

  // Closes the previous editor, then starts the command for `path` in a
  // process group of its own. False when the command could not be started.
  bool open(const std::filesystem::path& path);

  // Asks the processes this opener started for the previous report to end,
  // without waiting for them. An editor that a running desktop application
  // took over in its own process is beyond reach and stays.
  void closePrevious();

 private:
  std::vector<std::string> command_;
  // Leader of the previous opener's process group. It is reaped only here,
  // so its id, and with it the group id, cannot pass to a stranger before
  // the group is signalled.
  pid_t group_ = -1;
  std::vector<pid_t> lingering_;  // asked to end, not yet ended
};

}  // namespace kurvana
