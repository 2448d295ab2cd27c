// The plot picture as a file: uncompressed 24-bit BMP, baseline JPEG or
// lossless 24-bit PNG, one source file each (bmp_file.cpp, jpeg_file.cpp,
// png_file.cpp).
#pragma once

#include <filesystem>

#include "base/status.h"
#include "render/bitmap.h"

namespace kurvana {

enum class PictureFormat { kBmp, kJpeg, kPng };

// All write to a temporary file beside the target and rename it into place,
// so a failed write leaves any previous file intact. A failure names the
// file and the reason.
Status writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path);
Status writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path, int quality = 90);
// 8-bit RGB without alpha, the same pixels as the BMP.
Status writePngFile(const Bitmap& bitmap, const std::filesystem::path& path);

// The writer of `format`, JPEG at its default quality.
Status writePictureFile(const Bitmap& bitmap, const std::filesystem::path& path,
                        PictureFormat format);

}  // namespace kurvana
