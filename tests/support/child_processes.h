// What /proc says about the test's own children and threads, waits that end
// on a process's exit, and process groups killed when a test ends.
#pragma once

#include <signal.h>
#include <sys/types.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/child_process.h"

namespace kurvana::testing {

struct ProcessState {
  char state = '?';  // R, S, Z, ...
  pid_t parent = 0;
  pid_t group = 0;
};

// Nothing when the process no longer exists.
inline std::optional<ProcessState> processState(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(stat, line)) return std::nullopt;
  // The command name is in brackets and may hold spaces; the fields follow it.
  const auto close = line.rfind(')');
  if (close == std::string::npos) return std::nullopt;
  std::istringstream fields(line.substr(close + 1));
  ProcessState out;
  if (!(fields >> out.state >> out.parent >> out.group)) return std::nullopt;
  return out;
}

// True while the process exists and is not a zombie.
inline bool running(pid_t pid) {
  const auto state = processState(pid);
  return state && state->state != 'Z' && state->state != 'X';
}

struct Children {
  int running = 0;
  int zombies = 0;
};

// This process's children by state.
inline Children childrenOfThisProcess() {
  Children out;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto state = processState(std::stoi(name));
    if (!state || state->parent != ::getpid()) continue;
    ++(state->state == 'Z' || state->state == 'X' ? out.zombies : out.running);
  }
  return out;
}

// The processes of group `group` that have not ended (zombies left out).
inline int runningInGroup(pid_t group) {
  int count = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const auto state = processState(std::stoi(name));
    if (state && state->group == group && state->state != 'Z' && state->state != 'X') ++count;
  }
  return count;
}

inline int threadCount() {
  int count = 0;
  std::error_code error;
  for (auto it = std::filesystem::directory_iterator("/proc/self/task", error);
       it != std::filesystem::directory_iterator(); ++it) {
    ++count;
  }
  return count;
}

// Polls `done` every 10 ms for up to `limit`; a busy machine only slows it.
template <typename Condition>
bool waitUntil(Condition done, std::chrono::seconds limit = std::chrono::seconds(30)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Kills the recorded process groups when the test ends, however it ends,
// and collects the leaders' exits, so the next test starts without zombies.
class GroupKiller {
 public:
  GroupKiller() = default;
  GroupKiller(const GroupKiller&) = delete;
  GroupKiller& operator=(const GroupKiller&) = delete;
  ~GroupKiller() {
    for (pid_t group : groups_) {
      if (group > 1) ::kill(-group, SIGKILL);
    }
    for (pid_t group : groups_) waitUntil([group] { return !running(group); });
    reapBackgroundChildren();
  }
  void add(pid_t group) { groups_.push_back(group); }

 private:
  std::vector<pid_t> groups_;
};

}  // namespace kurvana::testing
