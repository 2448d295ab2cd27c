// Opens the report with the desktop's default handler, once per editor: while
// the editor it opened still runs, the report is only rewritten and
// the editor reloads it. That editor is never ended: it may hold the user's
// unsaved work.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kurvana {

class ReportOpener {
 public:
  // `command` opens a file given as its last argument.
  explicit ReportOpener(std::vector<std::string> command = {"xdg-open"});
  // Collects the exits of openers that ended; an editor still running is left
  // to run.
  ~ReportOpener();
  ReportOpener(const ReportOpener&) = delete;
  ReportOpener& operator=(const ReportOpener&) = delete;

  // Starts the command for `path` in a process group of its own and returns
  // at once; nothing waits for it. While a process of the group started by
  // the previous call still runs (the opener, or the editor it started in
  // the group and left behind), nothing is started: the editor shows the
  // rewritten file. An editor the opener merely handed the file to (one
  // already running, one started by D-Bus) is not in the group, so the next
  // call runs the command again and the editor takes the file from there.
  // True when the report is shown or handed over; false when the command
  // could not be started.
  bool open(const std::filesystem::path& path);

 private:
  std::vector<std::string> command_;
  // The group of the last opener started; empty before the first.
  std::optional<pid_t> group_;
};

}  // namespace kurvana
