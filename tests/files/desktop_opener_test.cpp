// Opening with the desktop: one opener per editor for the report, started
// again once the editor is gone; every time for addresses; the editor is
// never ended, no thread waits for any of it, and how the opener ended is
// told once.
#include "files/desktop_opener.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/child_processes.h"
#include "support/test_files.h"

namespace kurvana {
namespace {

namespace fs = std::filesystem;
using testing::childrenOfThisProcess;
using testing::running;
using testing::waitUntil;

// The process ids the openers logged next to `report`, one a line.
std::vector<pid_t> logged(const fs::path& report) {
  std::ifstream in(report.string() + ".log");
  std::vector<pid_t> pids;
  for (pid_t pid = 0; in >> pid;) pids.push_back(pid);
  return pids;
}

// Each opener logs its process id (its group's id) next to the file it was
// given. The lingering one then stays open as if it held unsaved changes.
std::vector<std::string> opener(const std::string& then) {
  return {"/bin/sh", "-c", "echo $$ >> \"$1.log\"" + then, "opener"};
}
const std::vector<std::string> kLingering = opener("; exec sleep 30");
const std::vector<std::string> kQuick = opener("");
const std::vector<std::string> kLeavesAnEditorBehind = opener("; sleep 30 & exit 0");

TEST(ReportOpening, TheNextReportLeavesThePreviousEditorOpenAndOpensNoOther) {
  testing::TemporaryFolder folder("opener");
  testing::GroupKiller killer;
  const fs::path report = folder / "kvreport.txt";
  const int threads = testing::threadCount();
  DesktopOpener reports(kLingering);
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(reports.open(report.string())) << "open " << i;
  // A second opener would still run (it sleeps), so it would show here.
  EXPECT_EQ(childrenOfThisProcess().running, 1);
  ASSERT_TRUE(waitUntil([&] { return !logged(report).empty(); }));
  const pid_t editor = logged(report).front();
  killer.add(editor);
  EXPECT_EQ(logged(report).size(), 1u);
  EXPECT_EQ(testing::processState(editor)->group, editor);
  EXPECT_EQ(testing::runningInGroup(editor), 1);
  EXPECT_TRUE(running(editor));  // possibly holding the user's work: not ours to end
  EXPECT_LE(testing::threadCount(), threads);

  // The user closes it; the next report opens one new editor.
  ::kill(-editor, SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return !running(editor); }));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(reports.open(report.string())) << "open " << i;
  ASSERT_TRUE(waitUntil([&] { return logged(report).size() >= 2; }));
  const pid_t next = logged(report).back();
  killer.add(next);
  EXPECT_EQ(logged(report).size(), 2u);
  EXPECT_NE(next, editor);
  EXPECT_TRUE(running(next));
  const auto children = childrenOfThisProcess();
  EXPECT_EQ(children.running, 1);
  EXPECT_EQ(children.zombies, 0);  // the first editor's exit was collected
  EXPECT_LE(testing::threadCount(), threads);
}

TEST(ReportOpening, AnOpenerThatEndsAtOnceRunsOnEveryOpen) {
  testing::TemporaryFolder folder("opener");
  const fs::path report = folder / "kvreport.txt";
  const int threads = testing::threadCount();
  DesktopOpener reports(kQuick);
  for (std::size_t i = 1; i <= 20; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(reports.open(report.string()));
    ASSERT_TRUE(waitUntil([&] { return logged(report).size() == i; }));
    const pid_t last = logged(report).back();
    ASSERT_TRUE(waitUntil([&] { return !running(last); }));
    EXPECT_LE(childrenOfThisProcess().zombies, 1);  // the previous ones were collected
  }
  EXPECT_LE(testing::threadCount(), threads);
}

TEST(ReportOpening, AnEditorTheOpenerLeftInItsGroupCountsAsRunning) {
  testing::TemporaryFolder folder("opener");
  testing::GroupKiller killer;
  const fs::path report = folder / "kvreport.txt";
  DesktopOpener reports(kLeavesAnEditorBehind);
  ASSERT_TRUE(reports.open(report.string()));
  ASSERT_TRUE(waitUntil([&] { return !logged(report).empty(); }));
  const pid_t group = logged(report).front();
  killer.add(group);
  ASSERT_TRUE(waitUntil([&] { return !running(group); }));  // the opener exited
  for (int i = 0; i < 10; ++i) {
    ASSERT_TRUE(reports.open(report.string()));
    // Only an open collects the leader, so a new opener would be a child here.
    const auto children = childrenOfThisProcess();
    EXPECT_EQ(children.running + children.zombies, 0) << "open " << i;
  }
  EXPECT_EQ(testing::runningInGroup(group), 1);  // the editor it left behind
}

TEST(ReportOpening, TheEditorOutlivesTheOpener) {
  testing::TemporaryFolder folder("opener");
  testing::GroupKiller killer;
  const fs::path report = folder / "kvreport.txt";
  {
    DesktopOpener reports(kLingering);
    ASSERT_TRUE(reports.open(report.string()));
    ASSERT_TRUE(waitUntil([&] { return !logged(report).empty(); }));
  }
  const pid_t editor = logged(report).front();
  killer.add(editor);
  EXPECT_TRUE(running(editor));
}

TEST(ReportOpening, AMissingHandlerIsAFailureNotAHang) {
  testing::TemporaryFolder folder("opener");
  EXPECT_FALSE(DesktopOpener({"kurvana-no-such-program-anywhere"}).open((folder / "r.txt").string()));
  EXPECT_FALSE(DesktopOpener(std::vector<std::string>{}).open((folder / "r.txt").string()));
  // A failed start leaves nothing to ask about: the next call tries again.
  DesktopOpener reports({"kurvana-no-such-program-anywhere"});
  EXPECT_FALSE(reports.open((folder / "r.txt").string()));
  EXPECT_FALSE(reports.open((folder / "r.txt").string()));
}

TEST(DesktopOpening, HowTheOpenerEndedIsToldOnce) {
  testing::TemporaryFolder folder("opener");
  const fs::path report = folder / "kvreport.txt";
  // xdg-open's way of saying that the desktop has no program for the file.
  DesktopOpener noProgram({"/bin/sh", "-c", "echo $$ >> \"$1.log\"; exit 3", "xdg-open"});
  EXPECT_FALSE(noProgram.ended().has_value());  // nothing started yet
  ASSERT_TRUE(noProgram.open(report.string()));
  EXPECT_TRUE(noProgram.waiting());
  std::optional<int> status;
  ASSERT_TRUE(waitUntil([&] { return (status = noProgram.ended()).has_value(); }));
  EXPECT_EQ(*status, 3);
  EXPECT_FALSE(noProgram.waiting());
  EXPECT_FALSE(noProgram.ended().has_value());  // told once
  EXPECT_EQ(noProgram.failureReason(status),
            "the desktop has no program for it (sh ended with status 3)");
  EXPECT_EQ(noProgram.failureReason(4), "sh ended with status 4");
  EXPECT_EQ(DesktopOpener({"/usr/bin/xdg-open"}).failureReason(std::nullopt),
            "xdg-open could not be started");
  // A killed opener counts as a failure too.
  testing::GroupKiller killer;
  DesktopOpener lingering(kLingering);
  ASSERT_TRUE(lingering.open(report.string()));
  EXPECT_FALSE(lingering.ended().has_value());  // still running
  ASSERT_TRUE(waitUntil([&] { return logged(report).size() >= 2; }));
  ::kill(logged(report).back(), SIGKILL);
  ASSERT_TRUE(waitUntil([&] { return (status = lingering.ended()).has_value(); }));
  EXPECT_EQ(*status, 128 + SIGKILL);
  const auto children = childrenOfThisProcess();
  EXPECT_EQ(children.running + children.zombies, 0);
}

TEST(DesktopOpening, AddressesOpenEveryTime) {
  testing::TemporaryFolder folder("opener");
  testing::GroupKiller killer;
  const fs::path page = folder / "page";
  DesktopOpener pages(kLingering, DesktopOpener::Reuse::kEveryTime);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pages.open(page.string()));
  ASSERT_TRUE(waitUntil([&] { return logged(page).size() == 3; }));
  for (const pid_t pid : logged(page)) killer.add(pid);
}

}  // namespace
}  // namespace kurvana
