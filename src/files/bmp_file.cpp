// Uncompressed 24-bit BMP.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "files/atomic_file.h"
#include "files/picture_encoding.h"
#include "files/picture_file.h"

namespace kurvana {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// BMP layout, all fields little-endian:
//   file header (14 bytes): "BM", u32 file size, u16 0, u16 0, u32 offset of
//     the pixel rows (54);
//   info header (40 bytes): u32 40, i32 width, i32 height (positive: rows run
//     bottom-up), u16 planes 1, u16 bits per pixel 24, u32 compression 0 (none),
//     u32 size of the pixel rows, i32 x and y resolution in pixels per metre,
//     u32 colours used 0, u32 important colours 0;
//   pixel rows from the bottom row up, B, G, R per pixel, each row padded with
//     zero bytes to a multiple of 4.
constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize;

}  // namespace

Status writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.empty()) return writeFailure(path, "the picture is empty");
  const auto width = static_cast<std::uint64_t>(bitmap.width());
  const auto height = static_cast<std::uint64_t>(bitmap.height());
  const std::uint64_t rowBytes = (width * 3 + 3) / 4 * 4;
  const std::uint64_t imageBytes = rowBytes * height;
  if (imageBytes > std::numeric_limits<std::uint32_t>::max() - kPixelOffset) {
    return writeFailure(path, "the picture is too large for a BMP file");
  }
  const auto fileSize = static_cast<std::uint32_t>(kPixelOffset + imageBytes);

  std::vector<std::uint8_t> out;
  out.reserve(kPixelOffset);
  out.push_back('B');
  out.push_back('M');
  put32(out, fileSize);
  put32(out, 0);
  put32(out, kPixelOffset);
  put32(out, kInfoHeaderSize);
  put32(out, static_cast<std::uint32_t>(width));
  put32(out, static_cast<std::uint32_t>(height));
  put16(out, 1);
  put16(out, 24);
  put32(out, 0);
  put32(out, static_cast<std::uint32_t>(imageBytes));
  put32(out, kPixelsPerMetre);
  put32(out, kPixelsPerMetre);
  put32(out, 0);
  put32(out, 0);

  // Rows go out in batches: the picture is never copied whole into memory.
  AtomicFile file(path);
  file.write(out.data(), out.size());
  constexpr int kRowsPerBatch = 64;
  std::vector<std::uint8_t> batch(static_cast<std::size_t>(rowBytes) * kRowsPerBatch, 0);
  const std::uint32_t* pixels = bitmap.data();
  for (int top = bitmap.height() - 1; top >= 0; top -= kRowsPerBatch) {
    std::uint8_t* o = batch.data();
    const int rows = std::min(kRowsPerBatch, top + 1);
    for (int y = top; y > top - rows; --y) {
      const std::uint32_t* row = pixels + static_cast<std::size_t>(y) * width;
      std::uint8_t* rowStart = o;
      if constexpr (std::endian::native == std::endian::little) {
        // A word 0xFFRRGGBB is the bytes B, G, R, X, as a BMP row has them:
        // four bytes copied, three kept, the next pixel overwriting the X.
        // The last pixel is copied alone, so the X reaches no padding byte.
        for (std::uint64_t x = 0; x + 1 < width; ++x, o += 3) std::memcpy(o, row + x, 4);
        std::memcpy(o, row + width - 1, 3);
      } else {
        for (std::uint64_t x = 0; x < width; ++x) {
          const std::uint32_t c = row[x];             // 0xFFRRGGBB
          *o++ = static_cast<std::uint8_t>(c);        // blue
          *o++ = static_cast<std::uint8_t>(c >> 8);   // green
          *o++ = static_cast<std::uint8_t>(c >> 16);  // red
        }
      }
      o = rowStart + rowBytes;  // padding bytes stay 0
    }
    file.write(batch.data(), static_cast<std::size_t>(o - batch.data()));
  }
  return file.commit();
}

}  // namespace kurvana
