#include "app/command_line.h"

#include "app/update_check.h"
#include "base/product.h"

namespace kurvana {
namespace {

CommandLine usage(std::string problem) {
  CommandLine line;
  line.action = CommandLine::Action::kUsageError;
  line.problem = std::move(problem);
  return line;
}

CommandLine only(CommandLine::Action action) {
  CommandLine line;
  line.action = action;
  return line;
}

}  // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool options = true;
  for (const std::string& argument : arguments) {
    if (options && argument == "--") {
      options = false;
      continue;
    }
    if (options && argument.size() > 1 && argument.front() == '-') {
      if (argument == "--help" || argument == "-h") return only(CommandLine::Action::kHelp);
      if (argument == "--version") return only(CommandLine::Action::kVersion);
      return usage("unknown option: " + argument);
    }
    if (line.file) return usage("one function file at most: " + argument);
    line.file = argument;
  }
  return line;
}

std::string versionLine() {
  return std::string(kProductName) + " " + std::string(kOwnVersion);
}

}  // namespace kurvana
