// Advisory locks (flock) on a lock file: every Kurvana process of the user
// takes the same one, so that a file read and rewritten as one step (the
// history) sees what another window wrote in between.
#pragma once

#include <chrono>
#include <filesystem>

namespace kurvana {

// The data folder's lock file.
inline constexpr char kLockFileName[] = "Kurvana.lock";

class FileLock {
 public:
  enum class Mode { kShared, kExclusive };

  // Opens `path` (created when missing, 0600) and waits up to `wait` for the
  // lock. A lock that cannot be had (a read-only folder, something that is not
  // a regular file in the lock file's place, a holder that does not let go)
  // is simply not held: callers go on without it, as before locks existed.
  FileLock(const std::filesystem::path& path, Mode mode,
           std::chrono::milliseconds wait = std::chrono::seconds(1));
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock();

  bool held() const { return held_; }

 private:
  int fd_ = -1;
  bool held_ = false;
};

}  // namespace kurvana
