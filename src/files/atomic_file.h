// Files read and written whole: writes go to a temporary file beside the
// target, flushed and renamed over it, so they happen completely or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kurvana {

// Opens a temporary file beside `path`; commit() flushes it and renames it
// over `path`. Dropped without commit(), or after any failure, it is removed
// and the previous file, if any, stays untouched.
//
// Replacing never does more than writing into the file would: a file the
// process may not write (checked with its effective ids) is refused with the
// system's reason, although the folder would allow the rename. A symbolic
// link is written through to its target, and a replaced file keeps its
// permission bits and, where the process may, its owner and group.
class AtomicFile {
 public:
  explicit AtomicFile(const std::filesystem::path& path);
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  ~AtomicFile();

  // Records the first failure; later writes do nothing.
  void write(const std::uint8_t* bytes, std::size_t size);
  void write(const std::string& text) {
    write(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
  }
  // Empty on success, else `Cannot write "<path>": <reason>`.
  std::string commit() {
    finish();
    return replace();
  }

  // The two halves of commit(), for files that change together: finish()
  // flushes and closes the temporary, replace() renames it over the file.
  std::string finish();
  std::string replace();

  // The file replaced: the path with symbolic links followed.
  const std::filesystem::path& target() const { return target_; }

 private:
  std::string message() const;

  std::filesystem::path path_;    // as the caller named it, for messages
  std::filesystem::path target_;  // the file replaced: path_ with links followed
  std::string temporary_;         // empty once renamed or removed
  std::string reason_;
  int fd_ = -1;
};

// The whole file in one go, atomically; empty on success, else the message.
std::string writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// Files that change as a unit (path, bytes): all are written to temporaries
// first and renamed only when every one is complete; when a rename fails,
// the files already renamed get their previous contents back. Empty on
// success, else the message of the first failure.
std::string writeFilesTogether(
    const std::vector<std::pair<std::filesystem::path, std::string>>& files);

// The first `maxBytes` bytes of a file (all of a file of the program's own
// kinds); nothing when it cannot be opened or read, with the message in
// `error` when given. A folder is not a file.
std::optional<std::string> readFileStart(const std::filesystem::path& path, std::size_t maxBytes,
                                         std::string* error = nullptr);

}  // namespace kurvana
