#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <memory>
#include <random>
#include <system_error>

namespace kurvana {
namespace {

std::string systemReason(int error) {
  return std::error_code(error, std::generic_category()).message();
}

// Tries fresh names beside `path` with `make` until one does not exist yet:
// the target's name, cut short enough that the suffix still fits a file name,
// and a random suffix. Returns what `make` returned last, -1 with errno set
// on failure.
template <typename Make>
int makeBeside(const std::filesystem::path& path, std::string& name, Make make) {
  static constexpr char kLetters[] =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  constexpr std::size_t kStemLength = 200;
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  const std::string stem =
      (path.parent_path() / path.filename().string().substr(0, kStemLength)).string();
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = stem + ".tmp-";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    const int result = make(name.c_str());
    if (result >= 0 || errno != EEXIST) return result;
  }
  errno = EEXIST;
  return -1;
}

// A fresh file beside `path`, created exclusively. A new file gets mode 0666
// so the umask applies as it would to the file itself (mkstemp would force
// 0600); a replacement starts private, so nobody can open it before it has
// the old file's owner and mode.
int createTemporary(const std::filesystem::path& path, std::string& name, bool replacing) {
  const mode_t mode = replacing ? 0600 : 0666;
  return makeBeside(path, name, [mode](const char* candidate) {
    return ::open(candidate, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  });
}

// The file a path names: a symbolic link is followed to its final target, so
// that replacing the file keeps the link a link.
std::filesystem::path finalTarget(const std::filesystem::path& path) {
  constexpr int kMaxLinks = 40;  // the system's own limit on a chain of links
  std::filesystem::path target = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    std::error_code code;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, code))) break;
    const std::filesystem::path next = std::filesystem::read_symlink(target, code);
    if (code) break;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return target;
}

}  // namespace

AtomicFile::AtomicFile(const std::filesystem::path& path) : path_(path) {
  if (path.empty() || !path.has_filename()) {
    reason_ = "no file name";
    return;
  }
  target_ = finalTarget(path);
  struct stat old {};
  const bool replacing = ::stat(target_.c_str(), &old) == 0;
  // The folder's permission would let the rename replace a file the user may
  // not write; an editor writing into it would be refused, and so is this.
  if (replacing && ::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0) {
    reason_ = systemReason(errno);
    return;
  }
  fd_ = createTemporary(target_, temporary_, replacing);
  if (fd_ < 0) {
    temporary_.clear();
    reason_ = systemReason(errno);
    return;
  }
  if (replacing && S_ISREG(old.st_mode)) {
    // Only a privileged process may give a file away; a member of the file's
    // group may still keep the group.
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0 &&
        ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
      // The file becomes the process's own; the permissions still follow.
    }
    // After fchown, which clears the set-id bits.
    ::fchmod(fd_, old.st_mode & 07777);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFile::write(const std::uint8_t* bytes, std::size_t size) {
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
// renamed but empty file.
std::string AtomicFile::finish() {
  if (fd_ >= 0) {
    if (reason_.empty() && ::fsync(fd_) != 0) reason_ = systemReason(errno);
    if (::close(fd_) != 0 && reason_.empty()) reason_ = systemReason(errno);
    fd_ = -1;
  }
  if (!reason_.empty() && !temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
  return message();
}

std::string AtomicFile::replace() {
  if (fd_ >= 0) finish();
  if (reason_.empty() && !temporary_.empty()) {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      reason_ = systemReason(errno);
      ::unlink(temporary_.c_str());
    }
    temporary_.clear();
  }
  return message();
}

std::string AtomicFile::message() const {
  return reason_.empty() ? std::string() : "Cannot write \"" + path_.string() + "\": " + reason_;
}

std::optional<std::string> readFileStart(const std::filesystem::path& path, std::size_t maxBytes,
                                         std::string* error) {
  const auto fail = [&](const std::string& reason) -> std::optional<std::string> {
    if (error != nullptr) *error = "Cannot read \"" + path.string() + "\": " + reason;
    return std::nullopt;
  };
  std::error_code code;
  if (std::filesystem::is_directory(path, code)) return fail("it is a folder");
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail(systemReason(errno));
  std::string bytes(maxBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (in.bad()) return fail("read error");
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return bytes;
}

std::string writeFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
  AtomicFile file(path);
  file.write(bytes);
  return file.commit();
}

std::string writeFilesTogether(
    const std::vector<std::pair<std::filesystem::path, std::string>>& files) {
  std::vector<std::unique_ptr<AtomicFile>> written;
  for (const auto& [path, bytes] : files) {
    written.push_back(std::make_unique<AtomicFile>(path));
    written.back()->write(bytes);
    if (std::string problem = written.back()->finish(); !problem.empty()) return problem;
  }
  // Each file but the last keeps its old contents under a second name (a hard
  // link), to be put back should a later rename fail. Where no link can be
  // made, a file that existed cannot be put back; one that did not is removed.
  struct Undo {
    bool existed = false;
    std::string backup;
  };
  std::vector<Undo> undo(written.size());
  for (std::size_t i = 0; i + 1 < written.size(); ++i) {
    const std::filesystem::path& target = written[i]->target();
    struct stat old {};
    undo[i].existed = ::lstat(target.c_str(), &old) == 0;
    if (undo[i].existed && makeBeside(target, undo[i].backup, [&target](const char* candidate) {
                             return ::link(target.c_str(), candidate);
                           }) != 0) {
      undo[i].backup.clear();
    }
  }
  std::string problem;
  std::size_t renamed = 0;
  for (; renamed < written.size(); ++renamed) {
    problem = written[renamed]->replace();
    if (!problem.empty()) break;
  }
  for (std::size_t i = 0; i < renamed && !problem.empty(); ++i) {
    const std::string target = written[i]->target().string();
    if (!undo[i].backup.empty()) {
      if (::rename(undo[i].backup.c_str(), target.c_str()) == 0) undo[i].backup.clear();
    } else if (!undo[i].existed) {
      ::unlink(target.c_str());
    }
  }
  for (const Undo& u : undo) {
    if (!u.backup.empty()) ::unlink(u.backup.c_str());
  }
  return problem;
}

}  // namespace kurvana
