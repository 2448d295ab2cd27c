// Lossless 24-bit PNG: our own deflate of the scanlines, framed by libpng.
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

#include "files/atomic_file.h"
#include "files/picture_encoding.h"
#include "files/picture_file.h"
#include "files/png_deflate.h"
#include "render/bitmap.h"

namespace kurvana {
namespace {

// Plots are mostly flat colour with rows that repeat the one or two above
// (dotted grid lines alternate). Their scanlines go through our own deflate
// (png_deflate.h), which tries the distances where plots repeat themselves
// and a short hash chain instead of searching widely. Measured at
// 2040 x 1340 (picture_bench's sine, antialiased, filled and polar rose, two
// threads): 28, 43, 28 and 95 KB in 2.5 to 4.1 ms of the writing thread,
// where libdeflate at level 6 made 31, 48, 33 and 101 KB in 8.5 to 13.6 ms;
// a whole kurvana-cli draw of the sine fell from 291 to 50 million
// instructions (libdeflate had 82%). On the plots of tools/compare_peers.sh
// our files are within 1% of zlib's level 9 or up to 2.5% smaller, and 3 to
// 9% smaller than libdeflate's levels 9 and 12, all many times slower; at
// 824 x 668 they are 10 to 16% larger than those. Up on every row made our
// files 35 to 48% larger; rows are filtered Up only where they repeat the
// row above (see fillRows).

// Deflate's window: how far back a match may reach.
constexpr std::size_t kDeflateWindow = 32 * 1024;
// Pictures of at least this many bytes of scanlines are compressed as two
// halves at once, on two threads where there are two: the sine above in
// 2.5 ms of the writing thread instead of 5.1 on one (on a machine busy with
// other work both took 7.7 ms). The second half's matches reach into the
// first: the files differ by 0.2% at most.
constexpr std::size_t kSplitBytes = 1024 * 1024;
// After a row filtered Up, a row that differs from it in at most this many
// pixels is filtered Up too: unfiltered, it would find no match a row back,
// where the row above is stored as zeros. At 2040 x 1340 this made plots
// without the grid 19 to 23% smaller with lines or a filled area, 4% larger
// with dots; plots with the grid kept their size (16 against 64 pixels:
// within 2% either way).
constexpr std::size_t kNearRepeatPixels = 16;
// Scanlines are made and deflated in batches of about this many bytes.
constexpr std::size_t kBatchBytes = 256 * 1024;
// The compressed data goes out in chunks of this size: fewer chunk headers
// and system calls than with libpng's 8 KB.
constexpr std::size_t kPngChunkBytes = 64 * 1024;

// PNG row filter types.
enum Filter : std::uint8_t { kNone = 0, kSub = 1, kUp = 2 };

// Row y's R, G, B bytes; `out` holds width * 3 + 1 bytes: the last is spare.
void pixelsOf(const Bitmap& bitmap, int y, std::uint8_t* out) {
  const auto width = static_cast<std::size_t>(bitmap.width());
  const std::uint32_t* pixel = bitmap.data() + static_cast<std::size_t>(y) * width;
  if constexpr (std::endian::native == std::endian::little) {
    // A word 0xFFRRGGBB byte-swapped and shifted is 0x00BBGGRR, the bytes
    // R, G, B, 0: copying four bytes and advancing three is faster than three
    // shifts (and than packing four pixels into three words); the next pixel
    // overwrites the 0 (the spare byte takes the last).
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

// A filtered byte's distance from zero, as the usual choice of filter weighs it.
unsigned weight(std::uint8_t v) {
  return v < 128 ? v : 256u - v;
}

// The scanline of a row whose row above deflate cannot reach: the first row
// of the half after the seam, or any row of a picture wider than the window.
// There Up turns a repeated row into zeros and Sub a flat one; the filter
// with the least sum of absolute differences is taken, None on a tie.
// (Rows after a filtered one that repeat it are filtered Up, the others left
// as they are.) `line` receives the filter byte and the `n` filtered bytes.
void chooseFilter(const std::uint8_t* row, const std::uint8_t* above, std::size_t n,
                  std::uint8_t* line) {
  unsigned long none = 0, sub = 0, up = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t left = i >= 3 ? row[i - 3] : 0;
    none += weight(row[i]);
    sub += weight(static_cast<std::uint8_t>(row[i] - left));
    up += weight(static_cast<std::uint8_t>(row[i] - above[i]));
  }
  const Filter filter = none <= sub && none <= up ? kNone : sub <= up ? kSub : kUp;
  line[0] = filter;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t left = i >= 3 ? row[i - 3] : 0;
    line[1 + i] = filter == kNone  ? row[i]
                  : filter == kSub ? static_cast<std::uint8_t>(row[i] - left)
                                   : static_cast<std::uint8_t>(row[i] - above[i]);
  }
}

// Whether a row differs from the one above in at most kNearRepeatPixels
// pixels, and which.
bool nearRepeat(const std::uint32_t* row, const std::uint32_t* above, std::size_t width,
                std::vector<std::size_t>& changed) {
  changed.clear();
  for (std::size_t x = 0; x < width; ++x) {
    if (row[x] == above[x]) continue;
    if (changed.size() == kNearRepeatPixels) return false;
    changed.push_back(x);
  }
  return true;
}

// Rows whose pixels repeat the row above are filtered Up: all zeros, which
// deflate codes as runs at distance 1 instead of matches a row back with 11
// or more extra bits each. Rows wider than the window, out of deflate's reach
// of each other, get the usual choice of filter (chooseFilter). Rows first
// to end - 1 go to `lines`, `lineBytes` each and one spare byte after them;
// the `before` rows before `first` are already in the lines before.
// `aboveUp` tells whether row first - 1 is filtered Up, and then the last row.
void fillRows(const Bitmap& bitmap, int first, int end, std::size_t lineBytes, std::uint8_t* lines,
              int before, bool& aboveUp) {
  const std::size_t rowBytes = lineBytes - 1;
  const bool wide = lineBytes > kDeflateWindow;
  const auto width = static_cast<std::size_t>(bitmap.width());
  std::vector<std::uint8_t> row, above;
  std::vector<std::size_t> changed;
  changed.reserve(kNearRepeatPixels + 1);
  if (wide) {
    row.resize(rowBytes + 1);
    above.resize(rowBytes + 1);
    if (first > 0) pixelsOf(bitmap, first - 1, above.data());
  }
  for (int y = first; y < end; ++y) {
    std::uint8_t* const line = lines + lineBytes * static_cast<std::size_t>(y - first);
    if (wide) {
      pixelsOf(bitmap, y, row.data());
      if (y == 0) {
        line[0] = kNone;
        std::memcpy(line + 1, row.data(), rowBytes);
      } else {
        chooseFilter(row.data(), above.data(), rowBytes, line);
      }
      std::swap(row, above);
      continue;
    }
    const std::uint32_t* pixels = bitmap.data() + static_cast<std::size_t>(y) * width;
    if (y > 0 && std::memcmp(pixels, pixels - width, width * 4) == 0) {
      line[0] = kUp;
      std::memset(line + 1, 0, rowBytes);
    } else if (aboveUp && nearRepeat(pixels, pixels - width, width, changed)) {
      line[0] = kUp;
      std::memset(line + 1, 0, rowBytes);
      for (const std::size_t x : changed) {
        for (int k = 0; k < 3; ++k) {
          const int shift = 16 - 8 * k;  // R, G, B of 0x..RRGGBB
          line[1 + 3 * x + static_cast<std::size_t>(k)] =
              static_cast<std::uint8_t>((pixels[x] >> shift) - (pixels[x - width] >> shift));
        }
      }
    } else if (y - 2 >= first - before &&
               line[-2 * static_cast<std::ptrdiff_t>(lineBytes)] == kNone &&
               std::memcmp(pixels, pixels - 2 * width, width * 4) == 0) {
      // Dotted lines make every other row alike: a copy is quicker than
      // converting the pixels again (half the rows of a plot).
      std::memcpy(line, line - 2 * lineBytes, lineBytes);
    } else {
      line[0] = kNone;
      pixelsOf(bitmap, y, line + 1);  // its spare byte is the next line's filter byte
    }
    aboveUp = line[0] == kUp;
  }
}

// Whether fillRows filters row y Up, without the rows above it at hand: a
// near repeat takes the filter of the row above, so the walk goes up to a
// row that is a repeat (Up) or none (not Up).
bool filteredUp(const Bitmap& bitmap, int y) {
  const auto width = static_cast<std::size_t>(bitmap.width());
  if (width * 3 + 1 > kDeflateWindow) return false;  // then fillRows takes no note
  std::vector<std::size_t> changed;
  changed.reserve(kNearRepeatPixels + 1);
  for (; y > 0; --y) {
    const std::uint32_t* pixels = bitmap.data() + static_cast<std::size_t>(y) * width;
    if (std::memcmp(pixels, pixels - width, width * 4) == 0) return true;
    if (!nearRepeat(pixels, pixels - width, width, changed)) return false;
  }
  return false;
}

// A run of rows deflated as one piece of the picture's zlib stream; all but
// the last end on a byte boundary, so the pieces simply follow each other.
struct Piece {
  int first = 0;
  int end = 0;
  bool last = true;
  std::vector<std::uint8_t> out;
  std::uint32_t adler = 1;  // of the piece's scanlines
  bool ok = false;
};

// The piece's scanlines pass through a buffer of a few hundred KB, which
// stays in the cache: a batch of rows after the rows before it that matches
// may reach (for the first batch, rows of the piece before, made again
// here). Filling the whole picture's 8 MB first took 1.5 ms more of one
// run's 10, mostly the kernel clearing fresh pages.
void compressPiece(const Bitmap& bitmap, Piece& piece) noexcept try {
  const std::size_t lineBytes = static_cast<std::size_t>(bitmap.width()) * 3 + 1;
  const int historyRows = static_cast<int>((kDeflateWindow + lineBytes - 1) / lineBytes);
  const int batchRows = static_cast<int>(std::max<std::size_t>(1, kBatchBytes / lineBytes));
  std::vector<std::uint8_t> buffer(lineBytes * static_cast<std::size_t>(historyRows + batchRows) +
                                   1);  // the spare byte of pixelsOf
  piece.out.reserve(lineBytes * static_cast<std::size_t>(piece.end - piece.first) / 64 + 1024);
  ScanlineDeflater deflater(lineBytes, piece.out);
  // Rows [held, y) are in the buffer, from its start. They must be filtered
  // as the piece before filtered them, which its matches assume.
  int held = std::max(0, piece.first - historyRows);
  bool aboveUp = held > 0 && filteredUp(bitmap, held - 1);
  fillRows(bitmap, held, piece.first, lineBytes, buffer.data(), 0, aboveUp);
  for (int y = piece.first; y < piece.end;) {
    const int count = std::min(batchRows, piece.end - y);
    const auto from = lineBytes * static_cast<std::size_t>(y - held);
    const auto to = from + lineBytes * static_cast<std::size_t>(count);
    fillRows(bitmap, y, y + count, lineBytes, buffer.data() + from, y - held, aboveUp);
    piece.adler = libdeflate_adler32(piece.adler, buffer.data() + from, to - from);
    deflater.deflate(buffer.data(), lineBytes * static_cast<std::size_t>(held), from, to);
    y += count;
    const int keep = std::min(historyRows, y - held);
    std::memmove(buffer.data(),
                 buffer.data() + lineBytes * static_cast<std::size_t>(y - keep - held),
                 lineBytes * static_cast<std::size_t>(keep));
    held = y - keep;
  }
  deflater.finish(piece.last);
  piece.ok = true;
} catch (...) {  // out of memory
  piece.ok = false;
}

// The picture's scanlines as a zlib stream; empty when memory ran out.
std::vector<std::uint8_t> compressPicture(const Bitmap& bitmap) try {
  const std::size_t lineBytes = static_cast<std::size_t>(bitmap.width()) * 3 + 1;
  const std::size_t bytes = lineBytes * static_cast<std::size_t>(bitmap.height());
  std::array<Piece, 2> pieces;
  const bool split =
      bytes >= kSplitBytes && bitmap.height() >= 2 && std::thread::hardware_concurrency() >= 2;
  pieces[0].end = split ? bitmap.height() / 2 : bitmap.height();
  pieces[0].last = !split;
  pieces[1].first = pieces[0].end;
  pieces[1].end = bitmap.height();
  if (split) {
    std::thread helper;
    try {
      helper = std::thread(compressPiece, std::cref(bitmap), std::ref(pieces[1]));
    } catch (...) {  // no thread to be had: one after the other
    }
    compressPiece(bitmap, pieces[0]);
    if (helper.joinable()) {
      helper.join();
    } else {
      compressPiece(bitmap, pieces[1]);
    }
  } else {
    compressPiece(bitmap, pieces[0]);
  }
  const int count = split ? 2 : 1;
  std::size_t size = 2 + 4;
  uLong adler = pieces[0].adler;
  for (int k = 0; k < count; ++k) {
    if (!pieces[k].ok) return {};
    size += pieces[k].out.size();
    const auto length = static_cast<z_off_t>(lineBytes) * (pieces[k].end - pieces[k].first);
    if (k > 0) adler = adler32_combine(adler, pieces[k].adler, length);
  }
  std::vector<std::uint8_t> stream;
  stream.reserve(size);
  // Deflate with a 32 KB window at the default level; the header is a multiple of 31.
  stream.insert(stream.end(), {0x78, 0x9C});
  for (int k = 0; k < count; ++k) {
    stream.insert(stream.end(), pieces[k].out.begin(), pieces[k].out.end());
  }
  for (const int shift : {24, 16, 8, 0})
    stream.push_back(static_cast<std::uint8_t>(adler >> shift));
  return stream;
} catch (...) {  // out of memory
  return {};
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
