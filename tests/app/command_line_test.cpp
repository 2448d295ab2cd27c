// The window program's command line, read before Qt is started.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kurvana {
namespace {

TEST(CommandLine, OneFileTheTwoQuestionsAndNothingElse) {
  using Action = CommandLine::Action;
  struct Case {
    std::vector<std::string> arguments;
    Action action;
    std::string fileOrProblem;
  };
  const Case cases[] = {
      {{}, Action::kRun, ""},
      {{"plot.kv1"}, Action::kRun, "plot.kv1"},
      {{"--help"}, Action::kHelp, ""},
      {{"-h"}, Action::kHelp, ""},
      {{"--version"}, Action::kVersion, ""},
      {{"plot.kv1", "--help"}, Action::kHelp, ""},
      {{"--bogus"}, Action::kUsageError, "unknown option: --bogus"},
      {{"-style"}, Action::kUsageError, "unknown option: -style"},
      {{"--help=yes"}, Action::kUsageError, "unknown option: --help=yes"},
      {{"a.kv1", "b.kv1"}, Action::kUsageError, "one function file at most: b.kv1"},
      // "--" ends the options: what follows is the file, whatever it looks like.
      {{"--", "-dash.kv1"}, Action::kRun, "-dash.kv1"},
      {{"--", "--help"}, Action::kRun, "--help"},
      {{"--", "--"}, Action::kRun, "--"},
      {{"-"}, Action::kRun, "-"},
      {{"a.kv1", "--", "b.kv1"}, Action::kUsageError, "one function file at most: b.kv1"},
  };
  for (const Case& c : cases) {
    std::string shown;
    for (const auto& a : c.arguments) shown += "[" + a + "]";
    SCOPED_TRACE(shown);
    const CommandLine line = parseCommandLine(c.arguments);
    EXPECT_EQ(line.action, c.action);
    if (c.action == Action::kRun) {
      EXPECT_EQ(line.file.value_or(""), c.fileOrProblem);
      EXPECT_EQ(line.file.has_value(), !c.fileOrProblem.empty());
    } else {
      EXPECT_EQ(line.problem, c.fileOrProblem);
      EXPECT_FALSE(line.file.has_value());
    }
  }
  EXPECT_EQ(versionLine(), "Kurvana 1.0");
}

}  // namespace
}  // namespace kurvana
