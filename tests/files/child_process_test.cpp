// Background children: their exits are collected by later starts, never by a
// thread per child, and one still running is left to run.
#include "files/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>

#include "support/child_processes.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

using testing::childrenOfThisProcess;
using testing::waitUntil;

TEST(BackgroundChildren, ManyRunsLeaveNoThreadsAndAtMostTheNewestZombie) {
  const int threads = testing::threadCount();
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(runInBackground({"/bin/true"})) << i;
  EXPECT_LE(testing::threadCount(), threads);
  ASSERT_TRUE(waitUntil([] { return childrenOfThisProcess().running == 0; }));
  EXPECT_GT(childrenOfThisProcess().zombies, 0);  // not collected until the next start
  ASSERT_TRUE(runInBackground({"/bin/true"}));    // collects the hundred
  EXPECT_LE(childrenOfThisProcess().zombies, 1);
  ASSERT_TRUE(waitUntil([] { return childrenOfThisProcess().running == 0; }));
  reapBackgroundChildren();
  EXPECT_EQ(childrenOfThisProcess().zombies, 0);
  EXPECT_LE(testing::threadCount(), threads);
}

TEST(BackgroundChildren, OneStillRunningIsLeftToRun) {
  testing::TemporaryFolder folder("children");
  const auto pidFile = folder / "pid";
  ASSERT_TRUE(runInBackground(
      {"/bin/sh", "-c", "echo $$ > \"$1\"; exec sleep 30", "sh", pidFile.string()}));
  pid_t pid = 0;
  ASSERT_TRUE(waitUntil([&] { return std::ifstream(pidFile) >> pid && pid > 0; }));
  reapBackgroundChildren();
  ASSERT_TRUE(runInBackground({"/bin/true"}));
  EXPECT_TRUE(testing::running(pid));
  ::kill(pid, SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return !testing::running(pid); }));
  reapBackgroundChildren();
  EXPECT_FALSE(testing::processState(pid).has_value());  // collected, not left a zombie
}

TEST(BackgroundChildren, AProcessGroupRunsWhileAnyOfItsProcessesRuns) {
  testing::GroupKiller killer;
  const auto group = startProcessGroup({"/bin/sh", "-c", "sleep 30 & exec sleep 30"});
  ASSERT_TRUE(group.has_value());
  killer.add(*group);
  EXPECT_EQ(testing::processState(*group)->group, *group);
  EXPECT_NE(*group, ::getpgrp());
  EXPECT_TRUE(processGroupRuns(*group));
  ASSERT_TRUE(waitUntil([&] { return testing::runningInGroup(*group) == 2; }));
  ::kill(*group, SIGKILL);  // the leader alone: the other sleep still runs in the group
  ASSERT_TRUE(waitUntil([&] { return !testing::running(*group); }));
  EXPECT_TRUE(processGroupRuns(*group));
  // The other sleep is an orphan now, collected by init whenever it gets to
  // it, so the group's end is not waited for here.
}

TEST(BackgroundChildren, NoGroupIdAsksAboutOurOwnGroupOrEveryProcess) {
  for (pid_t group : {-1, 0, 1}) {
    SCOPED_TRACE(group);
    EXPECT_FALSE(processGroupRuns(group));
  }
  EXPECT_FALSE(startProcessGroup({"kurvana-no-such-program-anywhere"}).has_value());
  EXPECT_FALSE(startProcessGroup({}).has_value());
  EXPECT_FALSE(runInBackground({}));
}

}  // namespace
}  // namespace kurvana
