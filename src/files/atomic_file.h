// Files read and written whole. Reading never blocks and never takes more
// than its cap; writing happens completely or not at all and never replaces
// what is not a regular file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/status.h"

namespace kurvana {

// A whole file, or why not.
struct [[nodiscard]] FileContents {
  std::optional<std::string> bytes;  // the whole file; nothing when missing or refused
  bool missing = false;              // nothing of that name (usually the first run)
  Status status;                     // `Cannot read "<path>": <reason>` when refused, else ok
};

// Reads a regular file of at most `maxBytes` bytes. The name is resolved
// first (resolvePath) and opened without blocking, so a named pipe, a device
// or a socket is refused with a message saying what it is, never opened for
// reading; so is a file over the cap ("it is larger than 1 MiB"), never read
// in part.
FileContents readFile(const std::filesystem::path& path, std::size_t maxBytes);

// The first `maxBytes` bytes of a regular file, for readers that look at the
// size themselves; no bytes when it cannot be read, with the message in the
// status (a missing file too, which is also marked `missing`).
FileContents readFileStart(const std::filesystem::path& path, std::size_t maxBytes);

// "1 MiB", "4 KiB", "89 bytes".
std::string sizeText(std::size_t bytes);

// Writes a file as a unit. The name is resolved first (links followed, under
// the shared-folder rule of resolvePath); what it names must be missing or a
// regular file the process may write (checked with its effective ids, as an
// editor writing into it would be): a device, a named pipe, a socket or a
// folder is refused ("it is a device, not replaced"), and so is a file of
// another user in a shared folder such as /tmp.
//
// A file the process owns with one name is replaced: the bytes go to a
// temporary file beside it, which is flushed and renamed over it and takes
// its permission bits. A file with more than one hard link, or owned by
// another user, is rewritten in place instead, so that its identity, its
// other names and its owner stay: its old content is first copied beside it
// (into memory when its folder is closed to us) and put back should the
// rewrite fail; the copy is removed once the new content has been flushed.
//
// Dropped without commit(), or after any failure, the temporary is removed
// and the previous file, if any, stays as it was.
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
  // Ok, else `Cannot write "<path>": <reason>`.
  Status commit() {
    if (Status finished = finish(); !finished.ok()) return finished;
    return replace();
  }

  // The two halves of commit(), for files that change together: finish()
  // flushes the new content, replace() puts it in place of the old.
  Status finish();
  Status replace();

  // The file replaced: the path with symbolic links followed.
  const std::filesystem::path& target() const { return target_; }
  // Whether a file existed under the name when this was made.
  bool replacing() const { return replacing_; }
  // Rewritten in place (see above) rather than renamed over.
  bool inPlace() const { return inPlace_; }

 private:
  std::string message() const;
  void rewriteInPlace();

  std::filesystem::path path_;    // as the caller named it, for messages
  std::filesystem::path target_;  // the file replaced: path_ with links followed
  std::string temporary_;         // empty once renamed or removed
  std::string reason_;
  int fd_ = -1;
  bool replacing_ = false;
  bool inPlace_ = false;
  dev_t device_ = 0;  // identity of the file rewritten in place
  ino_t inode_ = 0;
  std::string pending_;  // the new content of a file rewritten in place
};

// The whole file in one go, atomically.
Status writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// Files that change as a unit (path, bytes): all are written and flushed
// first and put in place only when every one is complete; when one fails,
// the files already put in place get their previous contents back (or are
// removed again when they did not exist), so none changes. Needs no hard
// links. On failure the message also says what became of the files before
// it.
Status writeFilesTogether(const std::vector<std::pair<std::filesystem::path, std::string>>& files);

// Temporary files of AtomicFile (`<name>.tmp-XXXXXX`) that a killed or
// crashed writer left in `folder`: the process's own regular files that no
// live writer holds (each writer keeps its temporary locked) and that are not
// brand new. Returns how many were removed.
int removeStaleTemporaries(const std::filesystem::path& folder);

}  // namespace kurvana
