#include "files/desktop_opener.h"

#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "files/child_process.h"

namespace kurvana {

DesktopOpener::DesktopOpener(std::vector<std::string> command, Reuse reuse)
    : command_(std::move(command)), reuse_(reuse) {}

DesktopOpener::~DesktopOpener() {
  collect();
  if (leader_) collectLater(*leader_);
}

void DesktopOpener::collect() {
  if (!leader_) return;
  int status = 0;
  pid_t done;
  do {
    done = ::waitpid(*leader_, &status, WNOHANG);
  } while (done < 0 && errno == EINTR);
  if (done == 0) return;  // still running
  if (done == *leader_) {
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  leader_.reset();  // collected (or, on ECHILD, no longer ours to collect)
}

bool DesktopOpener::open(const std::string& target) {
  if (command_.empty()) return false;
  collect();
  // One editor per report file: each Draw rewrites the same file, and a new
  // window per zoom step would bury the desktop.
  if (reuse_ == Reuse::kOncePerEditor && group_ && processGroupRuns(*group_)) return true;
  std::vector<std::string> words = command_;
  words.push_back(target);
  leader_ = spawnQuietly(words, /*ownGroup=*/true);
  group_ = leader_;
  status_.reset();
  return leader_.has_value();
}

std::optional<int> DesktopOpener::ended() {
  collect();
  return std::exchange(status_, std::nullopt);
}

std::string DesktopOpener::failureReason(std::optional<int> status) const {
  const std::string name = commandName();
  if (!status) return name + " could not be started";
  // xdg-open's own code for "no program for this kind of file".
  constexpr int kNoProgram = 3;
  if (*status == kNoProgram) {
    return "the desktop has no program for it (" + name + " ended with status 3)";
  }
  return name + " ended with status " + std::to_string(*status);
}

std::string DesktopOpener::commandName() const {
  return command_.empty() ? std::string() : std::filesystem::path(command_[0]).filename().string();
}

}  // namespace kurvana
