#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <random>

#include "files/resolved_path.h"

namespace kurvana {
namespace {

constexpr char kTemporaryMark[] = ".tmp-";  // new content on its way in
constexpr char kKeptMark[] = ".kept-";      // old content of a file rewritten in place
constexpr std::size_t kSuffixLength = 6;
// Where no copy can be made beside a file rewritten in place, its old
// content is held in memory up to this size; a larger file is not rewritten.
constexpr std::size_t kMaxCopyInMemory = 64u << 20;
// The previous content of files written together is read back whole; they
// are small (the history pair).
constexpr std::size_t kMaxTogetherBytes = 16u << 20;
// A temporary younger than this may belong to a writer that has created it
// but not yet locked it.
constexpr auto kStaleAfter = std::chrono::seconds(2);

void closeQuietly(int fd) {
  if (fd >= 0) ::close(fd);
}

// Tries fresh names beside `path` with `make` until one does not exist yet:
// the target's name, cut short enough that the suffix still fits a file name,
// the mark and a random suffix. Returns what `make` returned last, -1 with
// errno set on failure.
template <typename Make>
int makeBeside(const std::filesystem::path& path, const char* mark, std::string& name, Make make) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr std::size_t kStemLength = 200;
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  const std::string stem =
      (path.parent_path() / path.filename().string().substr(0, kStemLength)).string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + mark;
    for (std::size_t i = 0; i < kSuffixLength; ++i) name += kLetters[pick(random)];
    const int result = make(name.c_str());
    if (result >= 0 || errno != EEXIST) return result;
  }
  errno = EEXIST;
  return -1;
}

// A fresh file beside `path`, created exclusively and locked for as long as
// it is open, so that removeStaleTemporaries knows it is in use.
int createBeside(const std::filesystem::path& path, const char* mark, std::string& name,
                 mode_t mode) {
  const int fd = makeBeside(path, mark, name, [mode](const char* candidate) {
    return ::open(candidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
  });
  if (fd >= 0) ::flock(fd, LOCK_EX | LOCK_NB);  // new, so nobody else holds it
  return fd;
}

// Opens what `path` names for reading when it is a regular file; -1 with the
// reason (and whether it is missing) otherwise. Never blocks: a named pipe
// without a writer, or a device, is refused before it is opened, and opened
// without blocking should it appear in between.
int openRegular(const std::filesystem::path& path, std::string& reason, bool& missing,
                struct stat& st) {
  missing = false;
  const ResolvedPath resolved = resolvePath(path);
  if (!resolved.problem.empty()) {
    reason = resolved.problem;
    missing = resolved.missing;
    return -1;
  }
  if (!resolved.exists) {
    reason = systemReason(ENOENT);
    missing = true;
    return -1;
  }
  if (const std::string kind = fileKind(resolved.status.st_mode); !kind.empty()) {
    reason = "it is " + kind;
    return -1;
  }
  const int fd =
      ::open(resolved.path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    reason = systemReason(errno);
    missing = errno == ENOENT;
    return -1;
  }
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const std::string kind = fileKind(st.st_mode);
    reason = kind.empty() ? systemReason(errno) : "it is " + kind;
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return fd;
}

// Up to `limit` bytes from the start of `fd`; false with errno on failure.
bool readUpTo(int fd, std::size_t limit, std::string& out) {
  out.clear();
  char buffer[65536];
  while (out.size() < limit) {
    const std::size_t want = std::min(sizeof buffer, limit - out.size());
    const ssize_t n = ::read(fd, buffer, want);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  return true;
}

// Writes all of `bytes` at `offset`; 0, or the errno of the failure.
int writeAt(int fd, const char* bytes, std::size_t size, off_t offset) {
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = ::pwrite(fd, bytes + done, size - done, offset + static_cast<off_t>(done));
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      return EIO;
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

// Copies `size` bytes from the start of `from` to the start of `to`, then
// cuts `to` to that size and flushes it; 0, or the errno of the failure.
int copyWhole(int from, int to, off_t size) {
  char buffer[65536];
  for (off_t at = 0; at < size;) {
    const ssize_t n =
        ::pread(from, buffer, std::min<off_t>(static_cast<off_t>(sizeof buffer), size - at), at);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;  // the copy is shorter than it was
    if (const int error = writeAt(to, buffer, static_cast<std::size_t>(n), at); error != 0) {
      return error;
    }
    at += n;
  }
  if (::ftruncate(to, size) != 0) return errno;
  if (::fsync(to) != 0) return errno;
  return 0;
}

// Writes `bytes` over the whole of `fd`; 0, or the errno of the failure.
int overwrite(int fd, const std::string& bytes) {
  if (const int error = writeAt(fd, bytes.data(), bytes.size(), 0); error != 0) return error;
  if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
  if (::fsync(fd) != 0) return errno;
  return 0;
}

bool isOurTemporaryName(const std::string& name) {
  const std::size_t mark = name.rfind(kTemporaryMark);
  if (mark == std::string::npos || mark == 0) return false;
  const std::size_t suffix = mark + sizeof kTemporaryMark - 1;
  if (name.size() != suffix + kSuffixLength) return false;
  for (std::size_t i = suffix; i < name.size(); ++i) {
    const char c = name[i];
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace

std::string sizeText(std::size_t bytes) {
  if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

FileContents readFile(const std::filesystem::path& path, std::size_t maxBytes) {
  FileContents result;
  const auto fail = [&](const std::string& reason) {
    result.status = Status::failure("Cannot read \"" + path.string() + "\": " + reason);
    return std::move(result);
  };
  std::string reason;
  struct stat st {};
  const int fd = openRegular(path, reason, result.missing, st);
  if (fd < 0) return fail(reason);
  const std::string tooLarge = "it is larger than " + sizeText(maxBytes);
  if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return fail(tooLarge);
  }
  std::string bytes;
  const bool read = readUpTo(fd, maxBytes + 1, bytes);  // a file that grew is caught here
  const int error = errno;
  ::close(fd);
  if (!read) return fail(systemReason(error));
  if (bytes.size() > maxBytes) return fail(tooLarge);
  result.bytes = std::move(bytes);
  return result;
}

FileContents readFileStart(const std::filesystem::path& path, std::size_t maxBytes) {
  FileContents result;
  std::string reason;
  struct stat st {};
  const int fd = openRegular(path, reason, result.missing, st);
  std::string bytes;
  if (fd >= 0) {
    const bool read = readUpTo(fd, maxBytes, bytes);
    if (!read) reason = systemReason(errno);
    ::close(fd);
    if (read) {
      result.bytes = std::move(bytes);
      return result;
    }
  }
  result.status = Status::failure("Cannot read \"" + path.string() + "\": " + reason);
  return result;
}

AtomicFile::AtomicFile(const std::filesystem::path& path) : path_(path) {
  if (path.empty() || !path.has_filename()) {
    reason_ = "no file name";
    return;
  }
  const ResolvedPath resolved = resolvePath(path);
  if (!resolved.problem.empty()) {
    reason_ = resolved.problem;
    return;
  }
  target_ = resolved.path;
  replacing_ = resolved.exists;
  const uid_t self = ::geteuid();
  if (replacing_) {
    const struct stat& old = resolved.status;
    if (const std::string kind = fileKind(old.st_mode); !kind.empty()) {
      reason_ = "it is " + kind + ", not replaced";
      return;
    }
    // As the kernel guards O_CREAT in such folders: whoever planted a file
    // there for us to fill would read what we write.
    struct stat folder {};
    if (::stat(target_.parent_path().c_str(), &folder) == 0 && isSharedFolder(folder) &&
        old.st_uid != self && old.st_uid != folder.st_uid) {
      reason_ = "it belongs to another user in a shared folder, not replaced";
      return;
    }
    // The folder's permission would let the rename replace a file the user
    // may not write; an editor writing into it would be refused, and so is
    // this.
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
      reason_ = systemReason(errno);
      return;
    }
    if (old.st_nlink > 1 || old.st_uid != self) {
      inPlace_ = true;
      device_ = old.st_dev;
      inode_ = old.st_ino;
      return;
    }
  }
  // A new file gets mode 0666 so the umask applies as it would to the file
  // itself (mkstemp would force 0600); a replacement starts private, so
  // nobody can open it before it has the old file's mode.
  fd_ = createBeside(target_, kTemporaryMark, temporary_, replacing_ ? 0600 : 0666);
  if (fd_ < 0) {
    temporary_.clear();
    reason_ = systemReason(errno);
    return;
  }
  if (replacing_) {
    // The owner is the process's own; a member of the file's group keeps
    // the group. After fchown, which clears the set-id bits.
    if (::fchown(fd_, static_cast<uid_t>(-1), resolved.status.st_gid) != 0) {
      // The group becomes the process's own; the permissions still follow.
    }
    ::fchmod(fd_, resolved.status.st_mode & 07777);
  }
}

AtomicFile::~AtomicFile() {
  closeQuietly(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFile::write(const std::uint8_t* bytes, std::size_t size) {
  if (!reason_.empty()) return;
  if (inPlace_) {
    pending_.append(reinterpret_cast<const char*>(bytes), size);
    return;
  }
  for (std::size_t done = 0; done < size && reason_.empty();) {
    const ssize_t n = ::write(fd_, bytes + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n == 0) {
      reason_ = systemReason(EIO);
    } else if (errno != EINTR) {
      reason_ = systemReason(errno);
    }
  }
}

// The data reaches the disk before the rename, so a crash cannot leave a
// renamed but empty file. The temporary stays open, and locked, until it has
// been renamed.
Status AtomicFile::finish() {
  if (fd_ >= 0 && reason_.empty() && ::fsync(fd_) != 0) reason_ = systemReason(errno);
  if (!reason_.empty()) {
    closeQuietly(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  return Status::failure(message());
}

Status AtomicFile::replace() {
  if (reason_.empty() && inPlace_) {
    rewriteInPlace();
    pending_.clear();
    pending_.shrink_to_fit();
    return Status::failure(message());
  }
  if (reason_.empty() && !temporary_.empty()) {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      reason_ = systemReason(errno);
      ::unlink(temporary_.c_str());
    }
    temporary_.clear();
  }
  if (fd_ >= 0) {
    if (::close(fd_) != 0 && reason_.empty()) reason_ = systemReason(errno);
    fd_ = -1;
  }
  return Status::failure(message());
}

void AtomicFile::rewriteInPlace() {
  const int fd = ::open(target_.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    reason_ = systemReason(errno);
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != device_ ||
      st.st_ino != inode_) {
    reason_ = "it was replaced by another file meanwhile";
    ::close(fd);
    return;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

  // The old content first goes somewhere safe: beside the file, flushed, so
  // that even a crash in the middle of the rewrite leaves it on disk.
  std::string keptName;
  int kept = createBeside(target_, kKeptMark, keptName, 0600);
  if (kept >= 0 && copyWhole(fd, kept, st.st_size) != 0) {
    ::close(kept);
    ::unlink(keptName.c_str());
    kept = -1;
  }
  std::string inMemory;
  if (kept < 0) {
    if (static_cast<std::uint64_t>(st.st_size) > kMaxCopyInMemory) {
      reason_ = "no copy of its present content can be kept while it is rewritten";
      ::close(fd);
      return;
    }
    ::lseek(fd, 0, SEEK_SET);
    errno = 0;
    if (!readUpTo(fd, static_cast<std::size_t>(st.st_size), inMemory) ||
        inMemory.size() != static_cast<std::size_t>(st.st_size)) {
      reason_ = systemReason(errno != 0 ? errno : EIO);
      ::close(fd);
      return;
    }
  }

  const int error = overwrite(fd, pending_);
  bool keepCopy = false;
  if (error != 0) {
    reason_ = systemReason(error);
    const int restored = kept >= 0 ? copyWhole(kept, fd, st.st_size) : overwrite(fd, inMemory);
    if (restored != 0 && kept >= 0) {
      reason_ += "; its previous content is kept in \"" + keptName + "\"";
      keepCopy = true;
    } else if (restored != 0) {
      reason_ += "; its previous content could not be put back";
    }
  }
  if (::close(fd) != 0 && reason_.empty()) reason_ = systemReason(errno);
  if (kept >= 0) {
    ::close(kept);
    if (!keepCopy) ::unlink(keptName.c_str());
  }
}

std::string AtomicFile::message() const {
  return reason_.empty() ? std::string() : "Cannot write \"" + path_.string() + "\": " + reason_;
}

Status writeFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
  AtomicFile file(path);
  file.write(bytes);
  return file.commit();
}

Status writeFilesTogether(const std::vector<std::pair<std::filesystem::path, std::string>>& files) {
  std::vector<std::unique_ptr<AtomicFile>> written;
  for (const auto& [path, bytes] : files) {
    written.push_back(std::make_unique<AtomicFile>(path));
    written.back()->write(bytes);
    if (Status status = written.back()->finish(); !status.ok()) return status;
  }
  // What each file but the last holds now, to be put back should a later
  // one fail. Read back rather than kept as a hard link, which not every
  // file system can make.
  std::vector<std::optional<std::string>> previous(written.size());
  for (std::size_t i = 0; i + 1 < written.size(); ++i) {
    if (!written[i]->replacing()) continue;
    FileContents old = readFile(written[i]->target(), kMaxTogetherBytes);
    if (!old.bytes) return std::move(old.status);
    previous[i] = std::move(old.bytes);
  }
  std::string problem;
  std::size_t done = 0;
  for (; done < written.size(); ++done) {
    problem = written[done]->replace().message();
    if (!problem.empty()) break;
  }
  for (std::size_t i = 0; i < done && !problem.empty(); ++i) {
    const std::string name = "\"" + files[i].first.string() + "\"";
    std::string undone;
    if (previous[i]) {
      undone = writeFileAtomically(written[i]->target(), *previous[i]).message();
    } else if (::unlink(written[i]->target().c_str()) != 0) {
      undone = systemReason(errno);
    }
    problem += undone.empty()
                   ? "; " + name + " was put back as it was"
                   : "; " + name + " was written but could not be put back (" + undone + ")";
  }
  return Status::failure(std::move(problem));
}

int removeStaleTemporaries(const std::filesystem::path& folder) {
  int removed = 0;
  const uid_t self = ::geteuid();
  const auto now = std::chrono::system_clock::now();
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::filesystem::path path = entry->path();
    if (!isOurTemporaryName(path.filename().string())) continue;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != self) continue;
    const auto modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(st.st_mtim.tv_sec) +
            std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
    if (now - modified < kStaleAfter) continue;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat opened {};
    // A writer that is still alive holds its temporary locked.
    if (::fstat(fd, &opened) == 0 && opened.st_dev == st.st_dev && opened.st_ino == st.st_ino &&
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::unlink(path.c_str()) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  return removed;
}

}  // namespace kurvana
