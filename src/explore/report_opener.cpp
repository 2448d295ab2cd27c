#include "explore/report_opener.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace kurvana {
namespace {

// Reaps the leader when it has ended; true when it is gone.
bool reaped(pid_t pid) {
  int status = 0;
  const pid_t r = waitpid(pid, &status, WNOHANG);
  return r == pid || (r == -1 && errno == ECHILD);
}

}  // namespace

ReportOpener::ReportOpener(std::vector<std::string> command) : command_(std::move(command)) {}

void ReportOpener::closePrevious() {
  if (group_ <= 0) return;
  const pid_t group = group_;
  group_ = -1;
  // Signal first, reap after: until the leader is reaped the group id is ours.
  // Nothing waits for the editor to end; it is reaped at a later open.
  killpg(group, SIGTERM);
  if (!reaped(group)) lingering_.push_back(group);
}

bool ReportOpener::open(const std::filesystem::path& path) {
  std::erase_if(lingering_, reaped);
  closePrevious();
  if (command_.empty()) return false;
  std::vector<std::string> words = command_;
  words.push_back(path.string());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // The editor keeps no console output and gets a process group to close it by.
  for (int fd = 0; fd <= 2; ++fd) {
    posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  }
  posix_spawnattr_setpgroup(&attributes, 0);
  sigset_t defaults;
  sigemptyset(&defaults);
  sigaddset(&defaults, SIGPIPE);
  sigaddset(&defaults, SIGTERM);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

  pid_t pid = -1;
  const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return false;
  group_ = pid;
  return true;
}

}  // namespace kurvana
