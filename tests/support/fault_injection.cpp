#include "support/fault_injection.h"

#include <dlfcn.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>

namespace kurvana::testing {
namespace {

std::mutex mutex;
std::optional<Fault> armed;
int seen = 0;
int failed = 0;

template <typename F>
F real(const char* name) {
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

bool endsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string nameOf(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char target[4096];
  const ssize_t n = ::readlink(link, target, sizeof target);
  return n > 0 ? std::string(target, static_cast<std::size_t>(n)) : std::string();
}

// Whether this call fails; errno is set when it does.
bool shouldFail(const char* function, const std::string& file) {
  std::lock_guard<std::mutex> lock(mutex);
  if (!armed || armed->function != function || !endsWith(file, armed->suffix)) return false;
  if (seen++ < armed->skip || failed >= armed->times) return false;
  ++failed;
  errno = armed->error;
  return true;
}

bool armedFor(const char* function) {
  std::lock_guard<std::mutex> lock(mutex);
  return armed && armed->function == function;
}

}  // namespace

InjectedFault::InjectedFault(Fault fault) {
  std::lock_guard<std::mutex> lock(mutex);
  armed = std::move(fault);
  seen = 0;
  failed = 0;
}

InjectedFault::~InjectedFault() {
  std::lock_guard<std::mutex> lock(mutex);
  armed.reset();
}

int InjectedFault::failures() const {
  std::lock_guard<std::mutex> lock(mutex);
  return failed;
}

}  // namespace kurvana::testing

using kurvana::testing::armedFor;
using kurvana::testing::real;
using kurvana::testing::nameOf;
using kurvana::testing::shouldFail;

extern "C" {

int rename(const char* from, const char* to) noexcept {
  static const auto next = real<int (*)(const char*, const char*)>("rename");
  if (shouldFail("rename", to)) return -1;
  return next(from, to);
}

ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) {
  static const auto next = real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
  if (armedFor("pwrite") && shouldFail("pwrite", nameOf(fd))) return -1;
  return next(fd, bytes, size, offset);
}

ssize_t write(int fd, const void* bytes, size_t size) {
  static const auto next = real<ssize_t (*)(int, const void*, size_t)>("write");
  if (armedFor("write") && shouldFail("write", nameOf(fd))) return -1;
  return next(fd, bytes, size);
}

int fsync(int fd) {
  static const auto next = real<int (*)(int)>("fsync");
  if (armedFor("fsync") && shouldFail("fsync", nameOf(fd))) return -1;
  return next(fd);
}

int ftruncate(int fd, off_t size) noexcept {
  static const auto next = real<int (*)(int, off_t)>("ftruncate");
  if (armedFor("ftruncate") && shouldFail("ftruncate", nameOf(fd))) return -1;
  return next(fd, size);
}

}  // extern "C"
