#include "files/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

extern char** environ;

namespace kurvana {
namespace {

// The children started in the background whose exits are not collected yet.
// Each is waited for by its own pid only: waitpid(-1) would also take the
// exits of children that QProcess and others wait for themselves.
struct BackgroundChildren {
  std::mutex mutex;
  std::vector<pid_t> pids;
};

BackgroundChildren& backgroundChildren() {
  // Never destroyed: a start during the program's exit still finds it.
  static auto* children = new BackgroundChildren;
  return *children;
}

void reapLocked(std::vector<pid_t>& pids) {
  std::erase_if(pids, [](pid_t pid) {
    int status = 0;
    pid_t done;
    do {
      done = ::waitpid(pid, &status, WNOHANG);
    } while (done < 0 && errno == EINTR);
    // 0: still running. ECHILD: collected elsewhere; no longer ours to wait for.
    return done != 0;
  });
}

void remember(pid_t pid) {
  auto& children = backgroundChildren();
  const std::lock_guard lock(children.mutex);
  children.pids.push_back(pid);
}

void waitFor(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

std::optional<pid_t> spawnQuietly(const std::vector<std::string>& argv, bool ownGroup) {
  reapBackgroundChildren();  // each start collects what ended since the last one
  if (argv.empty()) return std::nullopt;
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return std::nullopt;
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return std::nullopt;
  }
  if (ownGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);  // the child's own pid
  }
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return std::nullopt;
  return pid;
}

void runQuietly(const std::vector<std::string>& argv) {
  if (const auto pid = spawnQuietly(argv)) waitFor(*pid);
}

bool runInBackground(const std::vector<std::string>& argv) {
  const auto pid = spawnQuietly(argv);
  if (!pid) return false;
  remember(*pid);
  return true;
}

std::optional<pid_t> startProcessGroup(const std::vector<std::string>& argv) {
  const auto pid = spawnQuietly(argv, /*ownGroup=*/true);
  if (pid) remember(*pid);
  return pid;
}

void collectLater(pid_t pid) {
  remember(pid);
}

void reapBackgroundChildren() {
  auto& children = backgroundChildren();
  const std::lock_guard lock(children.mutex);
  reapLocked(children.pids);
}

bool processGroupRuns(pid_t group) {
  // 0 would ask about our own group and 1 (as -1) about every process.
  if (group <= 1) return false;
  reapBackgroundChildren();
  return ::kill(-group, 0) == 0;
}

}  // namespace kurvana
