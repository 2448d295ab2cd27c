#include "files/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

namespace kurvana {
namespace {

std::string systemReason(int error) {
  return std::error_code(error, std::generic_category()).message();
}

// A fresh file beside `path`, created exclusively with mode 0666 so the umask
// applies as it would to the file itself (mkstemp would force 0600). Its name
// is the target's, cut short enough that the suffix still fits a file name.
int createTemporary(const std::filesystem::path& path, std::string& name) {
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
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
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
  fd_ = createTemporary(target_, temporary_);
  if (fd_ < 0) {
    reason_ = systemReason(errno);
    return;
  }
  // The replacement keeps the permissions (and, where the process may, the
  // owner) of the file it replaces.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
      // Only a privileged process may give a file away; the permissions still follow.
    }
    ::fchmod(fd_, old.st_mode & 07777);
  }
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(temporary_.c_str());
  }
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
std::string AtomicFile::commit() {
  if (fd_ >= 0) {
    if (reason_.empty() && ::fsync(fd_) != 0) reason_ = systemReason(errno);
    if (::close(fd_) != 0 && reason_.empty()) reason_ = systemReason(errno);
    fd_ = -1;
    if (reason_.empty() && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
      reason_ = systemReason(errno);
    }
    if (!reason_.empty()) ::unlink(temporary_.c_str());
  }
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

}  // namespace kurvana
