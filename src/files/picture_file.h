// The plot picture as a file: uncompressed 24-bit BMP or baseline JPEG.
#pragma once

#include <filesystem>
#include <string>

#include "render/bitmap.h"

namespace kurvana {

// Both write to a temporary file beside the target and rename it into place,
// so a failed write leaves any previous file intact. They return an empty
// string on success, otherwise a message naming the file and the reason.
std::string writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path);
std::string writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path,
                          int quality = 90);

}  // namespace kurvana
