// Hands a file or an address to the desktop's opener (xdg-open), which starts
// the program the desktop has for it. The opener runs in a process group of
// its own and is never waited for or ended: the editor or browser it starts
// may hold the user's work. Its exit is collected by the next call, so the
// caller can tell the user when the desktop had no program for the file.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace kurvana {

class DesktopOpener {
 public:
  // kOncePerEditor: while a process of the group started by the previous
  // open() still runs (the opener, or the editor it started in the group and
  // left behind), open() starts nothing: the editor shows the file that was
  // rewritten under the same name (the report after each Draw). An editor the
  // opener merely handed the file to (one already running, one started by
  // D-Bus) is not in the group, so the next call runs the opener again and the
  // editor takes the file from there. kEveryTime: every call opens.
  enum class Reuse { kOncePerEditor, kEveryTime };

  // `command` opens what is given as its last argument.
  explicit DesktopOpener(std::vector<std::string> command = {"xdg-open"},
                         Reuse reuse = Reuse::kOncePerEditor);
  // An opener still running is left to run; its exit is collected later.
  ~DesktopOpener();
  DesktopOpener(const DesktopOpener&) = delete;
  DesktopOpener& operator=(const DesktopOpener&) = delete;

  // Starts the command for `target` and returns at once. True when it was
  // started (or, kOncePerEditor, the editor still shows it); false when the
  // command could not be started.
  bool open(const std::string& target);

  // How the opener that the last open() started ended, once it has: its exit
  // status (0: it handed the target on; xdg-open ends with 3 when the desktop
  // has no program for it), 128 + the signal that ended it. Nothing while it
  // runs, when none was started, or when its end was already told.
  std::optional<int> ended();

  // An opener started by the last open() whose end is not known yet.
  bool waiting() const { return leader_.has_value(); }

  // Why the target was not opened, for a message: `status` as ended()
  // returned it, or nothing when the command could not be started.
  std::string failureReason(std::optional<int> status) const;

 private:
  // Collects the leader's exit when it has happened.
  void collect();
  std::string commandName() const;

  std::vector<std::string> command_;
  Reuse reuse_;
  std::optional<pid_t> leader_;  // the last opener, until its exit is collected
  std::optional<pid_t> group_;   // its process group, also after that
  std::optional<int> status_;    // its exit, until told
};

}  // namespace kurvana
