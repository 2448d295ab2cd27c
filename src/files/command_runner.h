// Other programs started for their side effects only (the desktop databases
// refreshed after a registration): the runner is a parameter, so tests record
// the commands instead of running them.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace kurvana {

// Runs a program with arguments; failures are ignored.
using CommandRunner = std::function<void(const std::vector<std::string>& argv)>;

// Runs argv[0], found through PATH, without a shell and without waiting: the
// program runs on its own and its exit is collected by a later start or by
// reapBackgroundChildren() (files/child_process.h), so nothing of the
// caller's waits for it and no thread is spent on it. A program that ended
// stays a zombie until then. False when it could not be started.
bool runInBackground(const std::vector<std::string>& argv);

}  // namespace kurvana
