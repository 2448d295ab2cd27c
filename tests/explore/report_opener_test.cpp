// Opening the report: one editor at a time, started and closed through its
// own process group; opening a report never hangs on a handler that is gone.
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

namespace kurvana {
namespace {

namespace fs = std::filesystem;

// True while the process exists and is not a zombie.
bool running(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string skip;
  std::string state;
  if (!(stat >> skip)) return false;
  // The command name is in brackets and may hold spaces; the state follows it.
  std::string rest((std::istreambuf_iterator<char>(stat)), {});
  const auto close = rest.rfind(')');
  if (close == std::string::npos || close + 2 >= rest.size()) return false;
  state = rest.substr(close + 2, 1);
  return state != "Z" && state != "X";
}

// Waits up to two seconds for the process to end; true when it did.
bool ends(pid_t pid) {
  for (int i = 0; i < 200 && running(pid); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !running(pid);
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

class ReportOpening : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("kurvana_opener_" + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
};

// An "editor" that records its process id (and that of a helper it starts)
// next to the file it was given, then stays open.
const std::vector<std::string> kLingeringEditor = {
    "/bin/sh", "-c", "sleep 30 & echo $! > \"$1.helper\"; echo $$ > \"$1.pid\"; wait", "editor"};

TEST_F(ReportOpening, TheNextReportClosesTheEditorOfThePrevious) {
  ReportOpener opener(kLingeringEditor);
  const fs::path first = folder / "first.txt";
  const fs::path second = folder / "second.txt";
  ASSERT_TRUE(opener.open(first));
  const pid_t editor = waitForPid(first.string() + ".pid");
  const pid_t helper = waitForPid(first.string() + ".helper");
  ASSERT_GT(editor, 0);
  ASSERT_GT(helper, 0);
  EXPECT_TRUE(running(editor));

  ASSERT_TRUE(opener.open(second));
  // Asked to end without being waited for; the whole process group goes, not
  // only the process that was started.
  EXPECT_TRUE(ends(editor));
  EXPECT_TRUE(ends(helper));
  const pid_t next = waitForPid(second.string() + ".pid");
  EXPECT_TRUE(running(next));
  opener.closePrevious();
  EXPECT_TRUE(ends(next));
}

TEST_F(ReportOpening, AHandlerThatHandedTheFileOnIsLeftAlone) {
  ReportOpener opener({"/bin/sh", "-c", "echo $$ > \"$1.pid\"", "handler"});
  const fs::path file = folder / "r.txt";
  ASSERT_TRUE(opener.open(file));
  const pid_t handler = waitForPid(file.string() + ".pid");
  ASSERT_GT(handler, 0);
  ASSERT_TRUE(opener.open(file));  // returns at once: nothing left to close
  opener.closePrevious();
  EXPECT_FALSE(running(handler));
}

TEST_F(ReportOpening, AMissingHandlerIsAFailureNotAHang) {
  ReportOpener opener({"kurvana-no-such-program-anywhere"});
  EXPECT_FALSE(opener.open(folder / "r.txt"));
  ReportOpener empty(std::vector<std::string>{});
  EXPECT_FALSE(empty.open(folder / "r.txt"));
  opener.closePrevious();  // nothing was started: nothing to do
}

}  // namespace
}  // namespace kurvana
