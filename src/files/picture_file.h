// The plot picture as a file: uncompressed 24-bit BMP, baseline JPEG or
// lossless 24-bit PNG, one source file each (bmp_file.cpp, jpeg_file.cpp,
// png_file.cpp); or drawn again as SVG or PDF (vector_file.cpp).
#pragma once

#include <filesystem>

#include "base/status.h"
#include "render/bitmap.h"
#include "render/vector_picture.h"

namespace kurvana {

enum class PictureFormat { kBmp, kJpeg, kPng, kSvg, kPdf };

// SVG and PDF are drawn from the plot, not copied from its pixels.
constexpr bool isVectorFormat(PictureFormat format) {
  return format == PictureFormat::kSvg || format == PictureFormat::kPdf;
}

// All write to a temporary file beside the target and rename it into place,
// so a failed write leaves any previous file intact. A failure names the
// file and the reason.
Status writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path);
Status writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path, int quality = 90);
// 8-bit RGB without alpha, the same pixels as the BMP.
Status writePngFile(const Bitmap& bitmap, const std::filesystem::path& path);

// The vector picture of the plot (render/vector_picture.h), written the same way.
Status writeVectorPictureFile(const VectorPictureInput& input, const std::filesystem::path& path,
                              VectorFormat format);

// The writer of a raster `format`, JPEG at its default quality; a vector
// format is refused, as pixels alone cannot make it.
Status writePictureFile(const Bitmap& bitmap, const std::filesystem::path& path,
                        PictureFormat format);

}  // namespace kurvana
