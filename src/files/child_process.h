// Starting other programs without a shell: waited for, or in the background
// with their exits collected lazily, never by a thread of ours per child.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "files/command_runner.h"

namespace kurvana {

// Starts argv[0], found through PATH, without a shell and with no input or
// output; nothing when it cannot be started. With `ownGroup` the child leads
// a new process group whose id is its pid. The caller collects its exit.
std::optional<pid_t> spawnQuietly(const std::vector<std::string>& argv, bool ownGroup = false);

// Runs argv[0] found through PATH, without a shell, its output discarded, and
// waits for it.
void runQuietly(const std::vector<std::string>& argv);

// runInBackground with the child leading a new process group: its id, to be
// asked about with processGroupRuns(); nothing when it could not be started.
std::optional<pid_t> startProcessGroup(const std::vector<std::string>& argv);

// Leaves a child the caller started (spawnQuietly) to be collected with the
// background children, once the caller no longer wants to know how it ended.
void collectLater(pid_t pid);

// Collects the exits of the background children that have ended; those still
// running are left to run. Only the children started above are waited for:
// others (Qt's, a caller's own) are not ours to collect.
void reapBackgroundChildren();

// True while a process of the group that startProcessGroup() returned still
// runs: its leader, or anything the leader started in the group and left
// behind. The exits of background children are collected first, as their
// zombies would count; a leader the caller collects itself must have been
// collected before.
bool processGroupRuns(pid_t group);

}  // namespace kurvana
