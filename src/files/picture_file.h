// The plot picture as a file: uncompressed 24-bit BMP, baseline JPEG or
// lossless 24-bit PNG.
#pragma once

#include <filesystem>
#include <string>

#include "render/bitmap.h"

namespace kurvana {

// All write to a temporary file beside the target and rename it into place,
// so a failed write leaves any previous file intact. They return an empty
// string on success, otherwise a message naming the file and the reason.
std::string writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path);
std::string writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path,
                          int quality = 90);
// 8-bit RGB without alpha, the same pixels as the BMP.
std::string writePngFile(const Bitmap& bitmap, const std::filesystem::path& path);

}  // namespace kurvana
