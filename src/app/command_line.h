// The window program's command line: one optional function file, --help and
// --version, read before anything needs a display.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kurvana {

struct CommandLine {
  enum class Action { kRun, kHelp, kVersion, kUsageError };
  Action action = Action::kRun;
  std::optional<std::string> file;  // kRun: the function file to open
  std::string problem;              // kUsageError: what is wrong, for a message
};

// The arguments after the program's name. "--" ends the options, so a file
// whose name starts with "-" still opens; "-" alone is a file name too.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

inline constexpr std::string_view kWindowUsage =
    "usage: kurvana [FILE]\n"
    "       kurvana --help | --version\n"
    "\n"
    "Opens the Kurvana window; FILE is a function file (.kv1 or .kv2) to open.\n"
    "  -h, --help   show this text and exit\n"
    "  --version    show the version and exit\n"
    "  --           end of the options: what follows is the file, even when it\n"
    "               starts with \"-\"\n"
    "\n"
    "kurvana-cli evaluates, draws and saves without a window (kurvana-cli --help).\n";

// "Kurvana 1.0".
std::string versionLine();

}  // namespace kurvana
