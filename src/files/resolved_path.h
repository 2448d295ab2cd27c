// What a file name really names, found before anything is opened: the path
// with every symbolic link followed by hand, under the rule the kernel applies
// to links in shared folders, and the kind of file at its end.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace kurvana {

struct ResolvedPath {
  // Absolute, without symbolic links, "." or ".." on the way. Valid when
  // `problem` is empty; names the file to create when !exists.
  std::filesystem::path path;
  bool exists = false;
  struct stat status {};  // of `path` (never a link) when it exists
  // Why the name cannot be used, as the end of a sentence ("No such file or
  // directory", "it is a link of another user in a shared folder, not
  // followed"); empty when it can.
  std::string problem;
  // The problem is that something on the way does not exist.
  bool missing = false;
};

// Follows links one at a time, at most 40 as the kernel does. A link in a
// world-writable sticky folder (/tmp) is followed only when it belongs to
// this process's user or to the folder's owner: otherwise another user could
// point our write at a file of their choosing. The last component need not
// exist; everything before it must be a folder.
ResolvedPath resolvePath(const std::filesystem::path& path);

// A world-writable folder with the sticky bit, where anybody may create
// names but only their owners may remove them.
bool isSharedFolder(const struct stat& folder);

// What a file that is not a regular file is, for messages: "a folder",
// "a named pipe", "a device", "a socket"; empty for a regular file.
std::string fileKind(mode_t mode);

// The system's text for an errno value ("Permission denied").
std::string systemReason(int error);

}  // namespace kurvana
