// kurvana-cli: the plotting pipeline without a window, for scripts and tests.
#include <iostream>
#include <string_view>
#include <vector>

#include "cli/draw_command.h"
#include "cli/eval_command.h"
#include "cli/usage.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "eval") {
    return kurvana::cli::runEval(std::span(args).subspan(1), std::cout, std::cerr);
  }
  if (!args.empty() && args[0] == "draw") {
    return kurvana::cli::runDraw(std::span(args).subspan(1), std::cout, std::cerr);
  }
  if (!args.empty() && args[0] == "save-function") {
    return kurvana::cli::runSaveFunction(std::span(args).subspan(1), std::cerr);
  }
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    std::cout << kurvana::cli::kUsage;
    return 0;
  }
  return kurvana::cli::usageError(std::cerr, args.empty() ? "missing command" : "unknown command");
}
