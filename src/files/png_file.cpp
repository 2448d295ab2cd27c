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
#include "render/bitmap.h"

namespace kurvana {
namespace {

// Plots are mostly flat colour with rows that repeat the one or two above
// (dotted grid lines alternate). Measured on one thread at 2040 x 1340 (sine,
// antialiased, filled, polar rose): libdeflate at level 6 makes 31 to 101 KB
// in 13 to 16 ms, where zlib at level 1 made 76 to 153 KB in 10 to 16 ms and
// zlib at level 6 31 to 105 KB in 25 to 30 ms. libdeflate's levels 2 to 5
// take as long for larger files (level 1 longer still), 7 to 9 1.3 to 2.6
// times as long for 2 to 15% less. Deflate already finds a repeated row as a
// few long matches (a row is at most 6 KB, the window 32 KB), so filters only
// cost here: Up on every row made the files 32 to 45% larger, Sub 2 to 16%,
// the usual choice per row (least sum of absolute differences among None,
// Sub and Up) 3 to 14%, with Average and Paeth besides no better. Rows are
// filtered only where deflate cannot see the row above (see chooseFilter).
constexpr int kDeflateLevel = 6;
// Deflate's window: how far back a match may reach.
constexpr std::size_t kDeflateWindow = 32 * 1024;
// Pictures of at least this many bytes of scanlines are compressed as two
// halves at once, on two threads where there are two (8 ms instead of 15 for
// the sine above; the halves' files are 1% larger).
constexpr std::size_t kSplitBytes = 1024 * 1024;
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

// Reads a raw deflate stream block by block without inflating it, to find
// where its final block starts and where the stream ends (in bits). A walk
// over the codes alone takes a small fraction of inflating 4 MB.
class DeflateWalker {
 public:
  DeflateWalker(const std::uint8_t* data, std::size_t size) : data_(data), bits_(size * 8) {}

  // False if the stream is cut short or malformed.
  bool walk() {
    for (;;) {
      finalHeader_ = at_;
      const int final = read(1);
      const int type = read(2);
      if (!ok_) return false;
      if (type == 0) {
        if (!stored()) return false;
      } else if (type == 1 || type == 2) {
        if (!(type == 1 ? fixedCodes() : dynamicCodes()) || !codes()) return false;
      } else {
        return false;
      }
      if (final == 1) return ok_;
    }
  }
  std::size_t finalHeader() const { return finalHeader_; }
  std::size_t end() const { return at_; }

 private:
  // Canonical Huffman code: how many codes of each length, and the symbols
  // in code order.
  struct Code {
    std::array<std::uint16_t, 16> count{};
    std::array<std::uint16_t, 320> symbol{};
  };

  int read(int n) {
    if (at_ + static_cast<std::size_t>(n) > bits_) {
      ok_ = false;
      return 0;
    }
    int v = 0;
    for (int k = 0; k < n; ++k, ++at_) v |= ((data_[at_ >> 3] >> (at_ & 7)) & 1) << k;
    return v;
  }

  // False if the lengths oversubscribe the code.
  static bool build(Code& code, const std::uint8_t* lengths, int n) {
    code.count.fill(0);
    for (int s = 0; s < n; ++s) ++code.count[lengths[s]];
    int left = 1;
    for (int len = 1; len < 16; ++len) {
      left = 2 * left - code.count[len];
      if (left < 0) return false;
    }
    std::array<std::uint16_t, 16> offset{};
    for (int len = 1; len < 15; ++len) offset[len + 1] = offset[len] + code.count[len];
    for (int s = 0; s < n; ++s) {
      if (lengths[s] != 0) code.symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
    }
    return true;
  }

  // The next symbol, or -1.
  int decode(const Code& code) {
    int value = 0, first = 0, index = 0;
    for (int len = 1; len < 16; ++len) {
      value |= read(1);
      const int count = code.count[len];
      if (value - count < first) return ok_ ? code.symbol[index + (value - first)] : -1;
      index += count;
      first = (first + count) << 1;
      value <<= 1;
    }
    return -1;
  }

  bool stored() {
    at_ = (at_ + 7) & ~std::size_t{7};
    const int length = read(16);
    const int complement = read(16);
    if (!ok_ || length != (~complement & 0xFFFF)) return false;
    at_ += static_cast<std::size_t>(length) * 8;
    return at_ <= bits_;
  }

  bool fixedCodes() {
    std::array<std::uint8_t, 320> lengths{};
    std::fill_n(lengths.begin(), 144, 8);
    std::fill_n(lengths.begin() + 144, 112, 9);
    std::fill_n(lengths.begin() + 256, 24, 7);
    std::fill_n(lengths.begin() + 280, 8, 8);
    std::fill_n(lengths.begin() + 288, 30, 5);
    return build(literals_, lengths.data(), 288) && build(distances_, lengths.data() + 288, 30);
  }

  bool dynamicCodes() {
    static constexpr std::uint8_t kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                11, 4,  12, 3, 13, 2, 14, 1, 15};
    const int literalCount = read(5) + 257;
    const int distanceCount = read(5) + 1;
    const int lengthCodeCount = read(4) + 4;
    if (!ok_ || literalCount > 286 || distanceCount > 30) return false;
    std::array<std::uint8_t, 320> lengths{};
    for (int k = 0; k < lengthCodeCount; ++k)
      lengths[kOrder[k]] = static_cast<std::uint8_t>(read(3));
    Code lengthCode;
    if (!ok_ || !build(lengthCode, lengths.data(), 19)) return false;
    lengths.fill(0);
    for (int k = 0; k < literalCount + distanceCount;) {
      const int symbol = decode(lengthCode);
      if (symbol < 0) return false;
      if (symbol < 16) {
        lengths[k++] = static_cast<std::uint8_t>(symbol);
        continue;
      }
      std::uint8_t value = 0;
      int repeat = 0;
      if (symbol == 16) {
        if (k == 0) return false;
        value = lengths[k - 1];
        repeat = 3 + read(2);
      } else {
        repeat = symbol == 17 ? 3 + read(3) : 11 + read(7);
      }
      if (!ok_ || k + repeat > literalCount + distanceCount) return false;
      while (repeat-- > 0) lengths[k++] = value;
    }
    if (lengths[256] == 0) return false;  // no end-of-block code
    return build(literals_, lengths.data(), literalCount) &&
           build(distances_, lengths.data() + literalCount, distanceCount);
  }

  // The literal, length and distance codes up to the end of the block; the
  // extra bits are skipped.
  bool codes() {
    static constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                        4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                        9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      const int symbol = decode(literals_);
      if (symbol < 0 || symbol > 285) return false;
      if (symbol == 256) return true;
      if (symbol < 256) continue;
      read(kLengthExtra[symbol - 257]);
      const int distance = decode(distances_);
      if (distance < 0 || distance > 29) return false;
      read(kDistanceExtra[distance]);
      if (!ok_) return false;
    }
  }

  const std::uint8_t* data_;
  std::size_t bits_;
  std::size_t at_ = 0;
  std::size_t finalHeader_ = 0;
  bool ok_ = true;
  Code literals_;
  Code distances_;
};

// libdeflate ends every buffer with a final block. For a piece that others
// follow, that block's BFINAL bit is cleared and an empty stored block (as a
// sync flush makes) brings the stream to a byte boundary, so the next piece
// simply follows. False if the stream cannot be walked.
bool continueAfter(std::vector<std::uint8_t>& deflated) {
  DeflateWalker walker(deflated.data(), deflated.size());
  if (!walker.walk()) return false;
  const std::size_t header = walker.finalHeader();
  deflated[header >> 3] &= static_cast<std::uint8_t>(~(1u << (header & 7)));
  const std::size_t end = walker.end();
  // The stored block's three header bits are zeros, as is the padding.
  deflated.resize((end + 3 + 7) / 8);
  if ((end & 7) != 0) deflated[end >> 3] &= static_cast<std::uint8_t>((1u << (end & 7)) - 1);
  deflated.insert(deflated.end(), {0x00, 0x00, 0xFF, 0xFF});
  return true;
}

// A run of rows deflated as one piece of the picture's zlib stream; all but
// the last end on a byte boundary, so the pieces simply follow each other.
// libdeflate keeps no dictionary, so a piece finds no match in the rows
// before it: its first row is filtered against the row above instead.
struct Piece {
  int first = 0;
  int end = 0;
  bool last = true;
  std::vector<std::uint8_t> out;
  std::uint32_t adler = 1;  // of the piece's scanlines
  bool ok = false;
};

struct CompressorFree {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

// Memory left uninitialised: the scanlines are written once, and the
// compressed bytes touch only the pages they reach (a piece of a plot takes
// a few dozen KB of its bound of 4 MB). The scanlines' buffer has the
// bitmap's large pages, which spare a thousand page faults per piece.
class Buffer {
 public:
  explicit Buffer(std::size_t size)
      : data_(static_cast<std::uint8_t*>(allocateLargeBuffer(size))), size_(size) {}
  ~Buffer() { freeLargeBuffer(data_, size_); }
  Buffer(const Buffer&) = delete;
  Buffer& operator=(const Buffer&) = delete;
  std::uint8_t* data() { return data_; }

 private:
  std::uint8_t* data_;
  std::size_t size_;
};

void deflatePiece(const Bitmap& bitmap, Piece& piece) noexcept try {
  const std::size_t rowBytes = static_cast<std::size_t>(bitmap.width()) * 3;
  const std::size_t lineBytes = rowBytes + 1;
  const auto rows = static_cast<std::size_t>(piece.end - piece.first);
  // Rows wider than the window are out of deflate's reach of each other.
  const bool wide = lineBytes > kDeflateWindow;
  const std::size_t size = lineBytes * rows;
  Buffer lines(size + 1);  // the spare byte of pixelsOf
  std::vector<std::uint8_t> row(rowBytes + 1), above(rowBytes + 1);
  bool haveAbove = false;        // `above` holds row y - 1 as it is
  bool aboveUnfiltered = false;  // and so does the buffer: deflate can match it
  for (int y = piece.first; y < piece.end; ++y) {
    std::uint8_t* const line = lines.data() + lineBytes * static_cast<std::size_t>(y - piece.first);
    if (y == 0 || (!wide && aboveUnfiltered)) {
      line[0] = kNone;
      pixelsOf(bitmap, y, line + 1);
      haveAbove = false;
      aboveUnfiltered = true;
      continue;
    }
    if (!haveAbove) pixelsOf(bitmap, y - 1, above.data());
    pixelsOf(bitmap, y, row.data());
    if (wide || y == piece.first) {
      chooseFilter(row.data(), above.data(), rowBytes, line);
    } else if (std::memcmp(row.data(), above.data(), rowBytes) == 0) {
      // After a filtered row, repeats of it stay zeros.
      line[0] = kUp;
      std::memset(line + 1, 0, rowBytes);
    } else {
      line[0] = kNone;
      std::memcpy(line + 1, row.data(), rowBytes);
    }
    aboveUnfiltered = line[0] == kNone;
    std::swap(row, above);
    haveAbove = true;
  }
  piece.adler = libdeflate_adler32(1, lines.data(), size);
  const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(
      libdeflate_alloc_compressor(kDeflateLevel));
  if (compressor == nullptr) return;
  const std::size_t bound = libdeflate_deflate_compress_bound(compressor.get(), size);
  const std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[bound]);
  const std::size_t deflated =
      libdeflate_deflate_compress(compressor.get(), lines.data(), size, out.get(), bound);
  if (deflated == 0) return;
  piece.out.assign(out.get(), out.get() + deflated);
  piece.ok = piece.last || continueAfter(piece.out);
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
  // Deflate with a 32 KB window at the default level; the header is a multiple of 31.
  stream.insert(stream.end(), {0x78, 0x9C});
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
