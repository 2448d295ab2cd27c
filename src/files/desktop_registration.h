// Per-user desktop registration of the function-file types: a MIME type for
// each extension, a desktop entry that opens files with the running
// executable, and the default-application association.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "files/history.h"

namespace kurvana {

// Runs a program with arguments and waits for it; failures are ignored.
using CommandRunner = std::function<void(const std::vector<std::string>& argv)>;

// Runs argv[0] found through PATH, without a shell, its output discarded.
void runQuietly(const std::vector<std::string>& argv);

// For extension "kv1" or "kv2": writes the MIME type definition under
// XDG_DATA_HOME (default ~/.local/share)/mime/packages, the desktop entry
// kurvana.desktop under XDG_DATA_HOME/applications with Exec pointing at
// `executable`, the default application in XDG_CONFIG_HOME (default
// ~/.config)/mimeapps.list, then refreshes the two databases. Each step that
// fails is skipped silently; run at every start so the association follows
// the executable.
void registerFileType(std::string_view extension, const std::filesystem::path& executable,
                      const Environment& env, const CommandRunner& run = runQuietly);

// The MIME type name of an extension: application/x-kurvana-kv1.
std::string mimeTypeOf(std::string_view extension);

}  // namespace kurvana
