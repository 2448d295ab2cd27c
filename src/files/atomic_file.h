// Files written whole or not at all: a temporary file beside the target,
// flushed and renamed over it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace kurvana {

// Opens a temporary file beside `path`; commit() flushes it and renames it
// over `path`. Dropped without commit(), or after any failure, it is removed
// and the previous file, if any, stays untouched.
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
  // Empty on success, else `Cannot write "<path>": <reason>`.
  std::string commit();

 private:
  std::filesystem::path path_;
  std::string temporary_;
  std::string reason_;
  int fd_ = -1;
};

// The whole file in one go, atomically; empty on success, else the message.
std::string writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace kurvana
