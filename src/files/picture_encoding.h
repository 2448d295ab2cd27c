// What the picture writers share: the resolution they record and the form of
// their messages. Private to src/files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "base/status.h"

namespace kurvana {

// 96 dots per inch, in the pixels per metre both BMP and PNG record.
inline constexpr std::uint32_t kPixelsPerMetre = 3780;

inline Status writeFailure(const std::filesystem::path& path, const std::string& reason) {
  return Status::failure("Cannot write \"" + path.string() + "\": " + reason);
}

}  // namespace kurvana
