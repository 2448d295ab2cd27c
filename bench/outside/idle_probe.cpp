// Idle wakeups measured from outside: after --wait seconds, counts over the
// next --measure seconds how often the program's threads went to sleep and
// woke (voluntary context switches from /proc/PID/task/*/status) and the CPU
// they used (schedstat), with the threads that woke named.
//
//   idle_probe --pid PID [--wait 12] [--measure 10]
#include <dirent.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>

namespace {

struct Thread {
  std::string name;
  long switches = 0;  // voluntary: each one a sleep that ended in a wakeup
  std::uint64_t cpuNs = 0;
};

[[noreturn]] void die(const std::string& why) {
  std::fprintf(stderr, "idle_probe: %s\n", why.c_str());
  std::exit(1);
}

std::map<int, Thread> threadsOf(int pid) {
  const std::string dir = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = opendir(dir.c_str());
  if (tasks == nullptr) die("the program has ended");
  std::map<int, Thread> out;
  while (const dirent* e = readdir(tasks)) {
    if (e->d_name[0] == '.') continue;
    const std::string task = dir + "/" + e->d_name;
    Thread t;
    std::ifstream status(task + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("Name:", 0) == 0) t.name = line.substr(line.find_first_not_of(" \t", 5));
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) t.switches = std::stol(line.substr(24));
    }
    std::ifstream(task + "/schedstat") >> t.cpuNs;
    out[std::atoi(e->d_name)] = t;
  }
  closedir(tasks);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  int pid = 0;
  double wait = 12, measure = 10;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string arg = argv[i];
    if (arg == "--pid") {
      pid = std::atoi(argv[i + 1]);
    } else if (arg == "--wait") {
      wait = std::atof(argv[i + 1]);
    } else if (arg == "--measure") {
      measure = std::atof(argv[i + 1]);
    } else {
      die("unknown option " + arg);
    }
  }
  if (pid <= 0 || measure <= 0) die("usage: idle_probe --pid PID [--wait S] [--measure S]");
  std::this_thread::sleep_for(std::chrono::duration<double>(wait));
  const std::map<int, Thread> before = threadsOf(pid);
  std::this_thread::sleep_for(std::chrono::duration<double>(measure));
  const std::map<int, Thread> after = threadsOf(pid);

  long wakeups = 0;
  std::uint64_t cpu = 0;
  for (const auto& [tid, t] : after) {
    const auto it = before.find(tid);
    const long switches = t.switches - (it == before.end() ? 0 : it->second.switches);
    const std::uint64_t ns = t.cpuNs - (it == before.end() ? 0 : it->second.cpuNs);
    wakeups += switches;
    cpu += ns;
    if (switches > 0) {
      std::printf("  thread %d (%s): %ld wakeups, %.2f ms CPU\n", tid, t.name.c_str(), switches,
                  static_cast<double>(ns) / 1e6);
    }
  }
  std::printf(
      "idle_probe: %.0f s after a %.0f s wait: %.2f wakeups/s, %.3f ms CPU/s, %zu threads\n",
      measure, wait, static_cast<double>(wakeups) / measure,
      static_cast<double>(cpu) / 1e6 / measure, after.size());
  return 0;
}
