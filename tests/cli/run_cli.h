// Runs the built kurvana-cli as a separate process and captures what it says.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace kurvana::testing {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

inline std::string quoted(const std::string& word) {
  std::string q = "'";
  for (char c : word) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// Runs the tool with `args` under the environment assignments in `env`.
inline CliRun cli(const std::vector<std::string>& args, const std::string& env = "LC_ALL=C") {
  const auto errPath =
      std::filesystem::temp_directory_path() / ("kurvana_cli_err_" + std::to_string(::getpid()));
  std::string command = "env " + env + " " + quoted(KURVANA_CLI_PATH);
  for (const auto& a : args) command += " " + quoted(a);
  command += " 2>" + quoted(errPath.string()) + " </dev/null";
  CliRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> buffer;
  for (std::size_t n; (n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) {
    run.out.append(buffer.data(), n);
  }
  const int raw = ::pclose(pipe);
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  std::ifstream err(errPath);
  std::stringstream text;
  text << err.rdbuf();
  run.err = text.str();
  std::filesystem::remove(errPath);
  return run;
}

}  // namespace kurvana::testing
