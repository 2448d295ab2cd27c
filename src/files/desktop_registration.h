// Per-user desktop registration of the function-file types: a MIME type for
// each extension, a desktop entry that opens files with the running
// executable, and the default-application association.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/product.h"
#include "base/status.h"
#include "files/command_runner.h"

namespace kurvana {

// The name under which the program's icon is installed and referred to.
inline constexpr std::string_view kIconName = "kurvana";

// For extension "kv1" or "kv2": writes the MIME type definition under
// XDG_DATA_HOME (default ~/.local/share)/mime/packages, the desktop entry
// kurvana.desktop under XDG_DATA_HOME/applications with Exec pointing at
// `executable`, the default application in XDG_CONFIG_HOME (default
// ~/.config)/mimeapps.list. A step that fails does not stop the others, and
// its message goes into the status (the program starts without a word about
// them: the registration is a convenience);
// mimeapps.list is changed only when it could be read (or does not exist),
// keeping every other line as it was. An executable path with a control
// character or that is not UTF-8 cannot be written into the entry: then only
// the MIME type is written, and an entry or association already there is
// left as it was.
Status registerFileType(std::string_view extension, const std::filesystem::path& executable,
                        const Environment& env);

// The program's icon (PNG bytes, 256 x 256) under
// XDG_DATA_HOME/icons/hicolor/256x256/apps, rewritten only when it changed.
Status installIcon(const std::string& png, const Environment& env);

// Both file types and the icon (when `iconPng` is not empty), then the two
// desktop databases refreshed through `run`. Runs at every start, so the
// association follows the executable.
Status registerFileTypes(const std::filesystem::path& executable, const std::string& iconPng,
                         const Environment& env, const CommandRunner& run = runInBackground);

// The MIME type name of an extension: application/x-kurvana-kv1.
std::string mimeTypeOf(std::string_view extension);

}  // namespace kurvana
