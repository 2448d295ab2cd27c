// Makes chosen system calls of the code under test fail, as a full disk, a
// failing medium or a file system without some operation would. The test
// binary defines rename, pwrite, write, fsync and ftruncate itself; they pass
// every call to the C library unless a fault is armed for it.
#pragma once

#include <string>

namespace kurvana::testing {

struct Fault {
  std::string function;  // "rename", "pwrite", "write", "fsync" or "ftruncate"
  // The call fails when its file (rename: the destination; the others: the
  // open file's name as /proc/self/fd shows it) ends with this.
  std::string suffix;
  int error = 0;  // the errno of the failure
  int skip = 0;   // matching calls let through before the failures start
  int times = 1 << 30;  // failures after which calls succeed again
};

// Armed while it lives; one at a time.
class InjectedFault {
 public:
  explicit InjectedFault(Fault fault);
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;
  ~InjectedFault();
  // How many calls it has failed.
  int failures() const;
};

}  // namespace kurvana::testing
