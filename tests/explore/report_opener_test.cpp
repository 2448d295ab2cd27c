// Opening the report: the handler gets the file and runs on its own; an
// editor left open by the previous report is never ended.
#include "explore/report_opener.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;

// True while the process exists and is not a zombie.
bool running(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string skip;
  if (!(stat >> skip)) return false;
  // The command name is in brackets and may hold spaces; the state follows it.
  std::string rest((std::istreambuf_iterator<char>(stat)), {});
  const auto close = rest.rfind(')');
  if (close == std::string::npos || close + 2 >= rest.size()) return false;
  const char state = rest[close + 2];
  return state != 'Z' && state != 'X';
}

// Waits up to two seconds for `path` to hold a process id.
pid_t waitForPid(const fs::path& path) {
  for (int i = 0; i < 200; ++i) {
    std::ifstream in(path);
    pid_t pid = 0;
    if (in >> pid && pid > 0) return pid;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return -1;
}

// An "editor" that records its process id next to the file it was given,
// then stays open as if it held unsaved changes.
const std::vector<std::string> kLingeringEditor = {"/bin/sh", "-c",
                                                   "echo $$ > \"$1.pid\"; exec sleep 30", "editor"};

TEST(ReportOpening, TheNextReportLeavesThePreviousEditorOpen) {
  testing::TemporaryFolder folder("opener");
  const ReportOpener opener(kLingeringEditor);
  ASSERT_TRUE(opener.open(folder / "first.txt"));
  const pid_t first = waitForPid(folder.path().string() + "/first.txt.pid");
  ASSERT_GT(first, 0);
  ASSERT_TRUE(opener.open(folder / "second.txt"));
  const pid_t second = waitForPid(folder.path().string() + "/second.txt.pid");
  ASSERT_GT(second, 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(running(first));  // possibly holding the user's work: not ours to end
  EXPECT_TRUE(running(second));
  ::kill(first, SIGKILL);
  ::kill(second, SIGKILL);
}

TEST(ReportOpening, AMissingHandlerIsAFailureNotAHang) {
  testing::TemporaryFolder folder("opener");
  EXPECT_FALSE(ReportOpener({"kurvana-no-such-program-anywhere"}).open(folder / "r.txt"));
  EXPECT_FALSE(ReportOpener(std::vector<std::string>{}).open(folder / "r.txt"));
}

}  // namespace
}  // namespace kurvana
