// Runs part of a test as an ordinary user: the tests run as root, which may
// write and read any file, so permission cases need a process without that
// privilege.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kurvana::testing {

inline constexpr uid_t kNobody = 65534;

// Gives the file (or folder) to nobody with the mode.
inline bool giveToNobody(const std::filesystem::path& path, mode_t mode) {
  return ::chown(path.c_str(), kNobody, kNobody) == 0 && ::chmod(path.c_str(), mode) == 0;
}

// The mode bits, owner and group of a file.
struct Ownership {
  unsigned mode = 0;
  uid_t uid = 0;
  gid_t gid = 0;
  bool operator==(const Ownership&) const = default;
};
inline Ownership ownershipOf(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return {static_cast<unsigned>(st.st_mode & 07777), st.st_uid, st.st_gid};
}

// A second unprivileged user, with no entry in /etc/passwd: the kernel needs none.
inline constexpr uid_t kOtherUser = 65533;

// Who a child process runs as; uid 0 keeps root's privileges.
struct Identity {
  uid_t uid = kNobody;
  gid_t gid = kNobody;
  std::vector<gid_t> groups;
};

// Runs `work` in a child process as `who` and returns what it returned;
// nothing when the privileges could not be dropped, the child did not end
// normally, or it was still running after `limit` seconds (it is killed then:
// a test of something that must not hang fails instead of hanging).
inline std::optional<std::string> inChild(const std::function<std::string()>& work,
                                          const Identity& who, int limit = 60) {
  int pipeEnds[2];
  if (::pipe(pipeEnds) != 0) return std::nullopt;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    return std::nullopt;
  }
  if (child == 0) {
    ::close(pipeEnds[0]);
    ::alarm(static_cast<unsigned>(limit));  // ends the child if it hangs
    if (who.uid != 0 &&
        (::setgroups(who.groups.size(), who.groups.data()) != 0 ||
         ::setresgid(who.gid, who.gid, who.gid) != 0 ||
         ::setresuid(who.uid, who.uid, who.uid) != 0 || ::geteuid() != who.uid)) {
      ::_exit(2);
    }
    const std::string out = work();
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = ::write(pipeEnds[1], out.data() + done, out.size() - done);
      if (n <= 0) ::_exit(3);
      done += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(pipeEnds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0;) {
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeEnds[0]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return std::nullopt;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return out;
}

// Runs `work` in a child process as user and group nobody, member of `groups`
// only (see inChild).
inline std::optional<std::string> asNobody(const std::function<std::string()>& work,
                                           const std::vector<gid_t>& groups = {}) {
  return inChild(work, Identity{kNobody, kNobody, groups});
}

// Runs `work` as root in a child process that is ended after `limit` seconds.
inline std::optional<std::string> withinSeconds(int limit, const std::function<std::string()>& work) {
  return inChild(work, Identity{0, 0, {}}, limit);
}

}  // namespace kurvana::testing
