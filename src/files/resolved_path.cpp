#include "files/resolved_path.h"

#include <unistd.h>

#include <cerrno>
#include <deque>
#include <system_error>
#include <vector>

namespace kurvana {
namespace {

constexpr int kMaxLinks = 40;  // the kernel's own limit on links in one lookup

// The components of a path, root and empty ones dropped.
std::deque<std::string> componentsOf(const std::filesystem::path& path) {
  std::deque<std::string> parts;
  for (const auto& part : path.relative_path()) {
    std::string name = part.string();
    if (!name.empty()) parts.push_back(std::move(name));
  }
  return parts;
}

std::string join(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string readLink(const std::string& path, int& error) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) {
      error = errno;
      return {};
    }
    if (static_cast<std::size_t>(n) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(n));
    }
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string systemReason(int error) {
  return std::error_code(error, std::generic_category()).message();
}

bool isSharedFolder(const struct stat& folder) {
  return S_ISDIR(folder.st_mode) && (folder.st_mode & S_ISVTX) != 0 &&
         (folder.st_mode & S_IWOTH) != 0;
}

std::string fileKind(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  if (S_ISLNK(mode)) return "a symbolic link";
  return "not a regular file";
}

ResolvedPath resolvePath(const std::filesystem::path& path) {
  ResolvedPath result;
  const auto fail = [&result](std::string problem, bool missing = false) {
    result.problem = std::move(problem);
    result.missing = missing;
    result.exists = false;
    return result;
  };
  if (path.empty()) return fail(systemReason(ENOENT), true);
  std::deque<std::string> pending = componentsOf(path);
  std::string resolved = "/";
  if (!path.is_absolute()) {
    std::error_code code;
    const std::filesystem::path here = std::filesystem::current_path(code);
    if (code) return fail(code.message());
    const std::deque<std::string> base = componentsOf(here);
    pending.insert(pending.begin(), base.begin(), base.end());
  }
  int links = 0;
  const uid_t self = ::geteuid();
  while (!pending.empty()) {
    const std::string name = std::move(pending.front());
    pending.pop_front();
    if (name == ".") continue;
    if (name == "..") {
      resolved = parentOf(resolved);
      continue;
    }
    const std::string candidate = join(resolved, name);
    struct stat st {};
    if (::lstat(candidate.c_str(), &st) != 0) {
      const int error = errno;
      if (error == ENOENT && pending.empty()) {
        result.path = candidate;
        return result;  // a new file in an existing folder
      }
      return fail(systemReason(error), error == ENOENT || error == ENOTDIR);
    }
    if (S_ISLNK(st.st_mode)) {
      if (++links > kMaxLinks) return fail(systemReason(ELOOP));
      struct stat folder {};
      if (::stat(resolved.c_str(), &folder) != 0) return fail(systemReason(errno));
      if (isSharedFolder(folder) && st.st_uid != self && st.st_uid != folder.st_uid) {
        return fail("it is a link of another user in a shared folder, not followed");
      }
      int error = 0;
      const std::string target = readLink(candidate, error);
      if (error != 0) return fail(systemReason(error));
      if (target.empty()) return fail(systemReason(ENOENT), true);
      std::deque<std::string> parts = componentsOf(target);
      pending.insert(pending.begin(), parts.begin(), parts.end());
      if (target.front() == '/') resolved.assign(1, '/');
      continue;
    }
    if (!pending.empty() && !S_ISDIR(st.st_mode)) {
      return fail(systemReason(ENOTDIR), true);
    }
    resolved = candidate;
    if (pending.empty()) {
      result.exists = true;
      result.status = st;
    }
  }
  // The path named a folder through "." or "..", or the root itself.
  if (!result.exists && ::lstat(resolved.c_str(), &result.status) == 0) result.exists = true;
  result.path = resolved;
  return result;
}

}  // namespace kurvana
