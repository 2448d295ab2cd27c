// Lossless 24-bit PNG: our own deflate of the scanlines, framed by libpng.
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "files/atomic_file.h"
#include "files/picture_encoding.h"
#include "files/picture_file.h"

namespace kurvana {
namespace {

// Plots are mostly flat colour, so rows repeat and runs are long. Deflate's
// fastest level without row filters finds them as long matches; a small hash
// table (memory level 4) costs less to clear and slide than zlib's default 8,
// and finds matches as well here. Together about a fifth of the time of
// libpng's defaults (every filter tried on every row, level 6), for files up
// to two and a half times as large (75 to 155 KB at 2040 x 1340).
constexpr int kPngLevel = 1;
constexpr int kPngMemoryLevel = 4;
constexpr int kPngStrategy = Z_DEFAULT_STRATEGY;
// Deflate's window: how far back a match may reach.
constexpr std::size_t kDeflateWindow = 32 * 1024;
// Pictures of at least this many bytes of scanlines are compressed as two
// halves at once, on two threads where there are two (about half the time).
constexpr std::size_t kSplitBytes = 1024 * 1024;
// The compressed data goes out in chunks of this size: fewer chunk headers
// and system calls than with libpng's 8 KB.
constexpr std::size_t kPngChunkBytes = 64 * 1024;

// Row y as a PNG scanline: filter type 0 (none) and the R, G, B bytes. `out`
// holds width * 3 + 2 bytes: the last is spare.
void scanline(const Bitmap& bitmap, int y, std::uint8_t* out) {
  const auto width = static_cast<std::size_t>(bitmap.width());
  const std::uint32_t* pixel = bitmap.data() + static_cast<std::size_t>(y) * width;
  *out++ = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // A word 0xFFRRGGBB byte-swapped and shifted is 0x00BBGGRR, the bytes
    // R, G, B, 0: copying four bytes and advancing three is faster than three
    // shifts; the next pixel overwrites the 0 (the spare byte takes the last).
    for (std::size_t x = 0; x < width; ++x, out += 3) {
      const std::uint32_t rgb = __builtin_bswap32(pixel[x]) >> 8;
      std::memcpy(out, &rgb, 4);
    }
  } else {
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint32_t c = pixel[x];  // 0xFFRRGGBB
      *out++ = static_cast<std::uint8_t>(c >> 16);
      *out++ = static_cast<std::uint8_t>(c >> 8);
      *out++ = static_cast<std::uint8_t>(c);
    }
  }
}

// A run of rows deflated as one piece of the picture's zlib stream. Pieces
// after the first start from the 32 KB of scanlines before them, so that
// they find the same matches as one stream would; all but the last end on a
// byte boundary (a sync flush), so the pieces simply follow each other.
struct Piece {
  int first = 0;
  int end = 0;
  bool last = true;
  std::vector<std::uint8_t> out;
  uLong adler = 1;  // of the piece's scanlines
  bool ok = false;
};

void deflatePiece(const Bitmap& bitmap, Piece& piece) noexcept try {
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * 3 + 1;
  // The row and the two before it, with their own checksums.
  std::array<std::vector<std::uint8_t>, 3> rows;
  for (auto& r : rows) r.resize(rowBytes + 1);
  std::array<uLong, 3> rowAdler{};
  z_stream z{};
  if (deflateInit2(&z, kPngLevel, Z_DEFLATED, -15, kPngMemoryLevel, kPngStrategy) != Z_OK) return;
  const std::unique_ptr<z_stream, int (*)(z_stream*)> ender(&z, deflateEnd);
  if (piece.first > 0) {
    const int before = static_cast<int>(
        std::min<std::size_t>(piece.first, (kDeflateWindow + rowBytes - 1) / rowBytes));
    std::vector<std::uint8_t> dictionary(static_cast<std::size_t>(before) * rowBytes + 1);
    for (int k = 0; k < before; ++k) {
      scanline(bitmap, piece.first - before + k,
               &dictionary[static_cast<std::size_t>(k) * rowBytes]);
    }
    const std::size_t all = static_cast<std::size_t>(before) * rowBytes;
    const std::size_t used = std::min(all, kDeflateWindow);
    if (deflateSetDictionary(&z, dictionary.data() + all - used, static_cast<uInt>(used)) != Z_OK) {
      return;
    }
  }
  piece.out.resize(64 * 1024);
  z.next_out = piece.out.data();
  z.avail_out = static_cast<uInt>(piece.out.size());
  for (int y = piece.first; y < piece.end; ++y) {
    const int k = (y - piece.first) % 3;
    std::uint8_t* const row = rows[k].data();
    scanline(bitmap, y, row);
    // Most rows of a plot repeat one of the two above (dotted grid lines
    // alternate); a repeated row's own checksum is the same, and combining
    // it with the rest costs next to nothing.
    const int above = (k + 2) % 3;
    const int twoAbove = (k + 1) % 3;
    if (y >= piece.first + 1 && std::memcmp(row, rows[above].data(), rowBytes) == 0) {
      rowAdler[k] = rowAdler[above];
    } else if (y >= piece.first + 2 && std::memcmp(row, rows[twoAbove].data(), rowBytes) == 0) {
      rowAdler[k] = rowAdler[twoAbove];
    } else {
      rowAdler[k] = adler32(1, row, static_cast<uInt>(rowBytes));
    }
    piece.adler = adler32_combine(piece.adler, rowAdler[k], static_cast<z_off_t>(rowBytes));
    z.next_in = row;
    z.avail_in = static_cast<uInt>(rowBytes);
    const int flush = y + 1 < piece.end ? Z_NO_FLUSH : piece.last ? Z_FINISH : Z_SYNC_FLUSH;
    for (;;) {
      if (z.avail_out == 0) {
        const std::size_t used = piece.out.size();
        piece.out.resize(used * 2);
        z.next_out = piece.out.data() + used;
        z.avail_out = static_cast<uInt>(piece.out.size() - used);
      }
      const int result = deflate(&z, flush);
      if (result == Z_STREAM_ERROR) return;
      // Done when deflate had room to spare (all input taken, the flush
      // complete), or, finishing, at the stream's end.
      if (flush == Z_FINISH ? result == Z_STREAM_END : z.avail_out != 0) break;
    }
  }
  piece.out.resize(z.total_out);
  piece.ok = true;
} catch (...) {  // out of memory
  piece.ok = false;
}

// The picture's scanlines as a zlib stream; empty when memory ran out.
std::vector<std::uint8_t> compressPicture(const Bitmap& bitmap) {
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * 3 + 1;
  const std::size_t bytes = rowBytes * static_cast<std::size_t>(bitmap.height());
  std::array<Piece, 2> pieces;
  const bool split = bytes >= kSplitBytes && bitmap.height() >= 2;
  pieces[0].end = split ? bitmap.height() / 2 : bitmap.height();
  pieces[0].last = !split;
  pieces[1].first = pieces[0].end;
  pieces[1].end = bitmap.height();
  if (split) {
    std::thread helper;
    try {
      helper = std::thread(deflatePiece, std::cref(bitmap), std::ref(pieces[1]));
    } catch (...) {  // no thread to be had: one after the other
    }
    deflatePiece(bitmap, pieces[0]);
    if (helper.joinable()) {
      helper.join();
    } else {
      deflatePiece(bitmap, pieces[1]);
    }
  } else {
    deflatePiece(bitmap, pieces[0]);
  }
  const int count = split ? 2 : 1;
  std::size_t size = 2 + 4;
  uLong adler = pieces[0].adler;
  for (int k = 0; k < count; ++k) {
    if (!pieces[k].ok) return {};
    size += pieces[k].out.size();
    const auto length = static_cast<z_off_t>(rowBytes) * (pieces[k].end - pieces[k].first);
    if (k > 0) adler = adler32_combine(adler, pieces[k].adler, length);
  }
  std::vector<std::uint8_t> stream;
  stream.reserve(size);
  // Deflate with a 32 KB window at a fast level; the header is a multiple of 31.
  stream.insert(stream.end(), {0x78, 0x01});
  for (int k = 0; k < count; ++k) {
    stream.insert(stream.end(), pieces[k].out.begin(), pieces[k].out.end());
  }
  for (const int shift : {24, 16, 8, 0})
    stream.push_back(static_cast<std::uint8_t>(adler >> shift));
  return stream;
}

// libpng reports fatal errors through a handler that must not return; it
// jumps back to encodePng. The handlers only fill fixed buffers, so nothing
// can throw through libpng, and the jump crosses no destructor.
struct PngJob {
  AtomicFile* file;
  const std::uint8_t* stream;  // the compressed scanlines
  std::size_t streamSize;
  char error[256];
  char warning[256];  // the first one: it often says more than the error
};

void copyMessage(char (&to)[256], const char* message) {
  std::snprintf(to, sizeof to, "%s", message != nullptr ? message : "unknown error");
}

extern "C" void pngError(png_structp png, png_const_charp message) {
  copyMessage(static_cast<PngJob*>(png_get_error_ptr(png))->error, message);
  png_longjmp(png, 1);
}

extern "C" void pngWarning(png_structp png, png_const_charp message) {
  auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
  if (job->warning[0] == '\0') copyMessage(job->warning, message);
}

extern "C" void pngWrite(png_structp png, png_bytep data, std::size_t size) {
  static_cast<PngJob*>(png_get_io_ptr(png))->file->write(data, size);
}

extern "C" void pngFlush(png_structp) {}

// The chunks around the compressed scanlines come from libpng.
bool encodePng(PngJob* job, const Bitmap& bitmap) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, job, pngError, pngWarning);
  if (png == nullptr) {
    copyMessage(job->error, "out of memory");
    return false;
  }
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    copyMessage(job->error, "out of memory");
    return false;
  }
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, job, pngWrite, pngFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()),
               static_cast<png_uint_32>(bitmap.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_pHYs(png, info, kPixelsPerMetre, kPixelsPerMetre, PNG_RESOLUTION_METER);
  png_write_info(png, info);
  for (std::size_t at = 0; at < job->streamSize; at += kPngChunkBytes) {
    png_write_chunk(png, reinterpret_cast<png_const_bytep>("IDAT"), job->stream + at,
                    std::min(kPngChunkBytes, job->streamSize - at));
  }
  png_write_chunk(png, reinterpret_cast<png_const_bytep>("IEND"), nullptr, 0);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

Status writePngFile(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.empty()) return writeFailure(path, "the picture is empty");
  const std::vector<std::uint8_t> stream = compressPicture(bitmap);
  if (stream.empty()) return writeFailure(path, "out of memory");
  auto job = std::make_unique<PngJob>();  // zero-initialised
  job->stream = stream.data();
  job->streamSize = stream.size();
  // Streamed into the temporary file: an encoder error drops it unrenamed.
  AtomicFile file(path);
  job->file = &file;
  if (!encodePng(job.get(), bitmap)) {
    std::string reason = job->error;
    if (job->warning[0] != '\0') reason += std::string(" (") + job->warning + ")";
    return writeFailure(path, reason);
  }
  return file.commit();
}

}  // namespace kurvana
