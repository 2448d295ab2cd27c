// Files for hermetic tests: a temporary folder per test, removed afterwards,
// and whole-file reads.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "base/product.h"

namespace kurvana::testing {

// <temp>/kurvana_<tag>_<pid>_<test name>, created empty and removed with
// everything in it.
class TemporaryFolder {
 public:
  explicit TemporaryFolder(const std::string& tag)
      : path_(std::filesystem::temp_directory_path() /
              ("kurvana_" + tag + "_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The file's bytes; empty when it cannot be read.
inline std::string readWhole(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// Writes `bytes` to `path`, making its folder first.
inline void writeWhole(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// An environment holding exactly `vars`, which must outlive it.
inline Environment environmentOf(const std::map<std::string, std::string>& vars) {
  return [&vars](const char* name) -> const char* {
    const auto it = vars.find(name);
    return it == vars.end() ? nullptr : it->second.c_str();
  };
}

}  // namespace kurvana::testing
