#include "files/picture_file.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

// libjpeg's header needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

std::string failure(const std::filesystem::path& path, const std::string& reason) {
  return "Cannot write \"" + path.string() + "\": " + reason;
}

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
constexpr std::uint32_t kPixelsPerMetre = 3780;  // 96 dots per inch

}  // namespace

std::string writeBmpFile(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.empty()) return failure(path, "the picture is empty");
  const auto width = static_cast<std::uint64_t>(bitmap.width());
  const auto height = static_cast<std::uint64_t>(bitmap.height());
  const std::uint64_t rowBytes = (width * 3 + 3) / 4 * 4;
  const std::uint64_t imageBytes = rowBytes * height;
  if (imageBytes > std::numeric_limits<std::uint32_t>::max() - kPixelOffset) {
    return failure(path, "the picture is too large for a BMP file");
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
      for (std::uint64_t x = 0; x < width; ++x) {
        const std::uint32_t c = row[x];             // 0xFFBBGGRR
        *o++ = static_cast<std::uint8_t>(c >> 16);  // blue
        *o++ = static_cast<std::uint8_t>(c >> 8);   // green
        *o++ = static_cast<std::uint8_t>(c);        // red
      }
      o = rowStart + rowBytes;  // padding bytes stay 0
    }
    file.write(batch.data(), static_cast<std::size_t>(o - batch.data()));
  }
  return file.commit();
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return; it
// jumps back to encodeJpeg instead. Everything the jump crosses is plain C
// data owned by the caller, so no destructor is skipped.
struct JpegJob {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  jpeg_destination_mgr destination;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  unsigned char* buffer;  // malloc'd; the caller frees it, also after a failure
  std::size_t capacity;
  std::size_t size;  // set when compression finishes
};

JpegJob* jobOf(j_compress_ptr cinfo) {
  return static_cast<JpegJob*>(cinfo->client_data);
}

extern "C" void jpegErrorExit(j_common_ptr cinfo) {
  auto* job = static_cast<JpegJob*>(cinfo->client_data);
  (*cinfo->err->format_message)(cinfo, job->message);
  std::longjmp(job->jump, 1);
}

// Warnings would go to stderr; the core prints nothing.
extern "C" void jpegSilence(j_common_ptr) {}

// The encoded stream collects in a growing malloc'd buffer. (jpeg_mem_dest
// would do, but after an error its buffer pointer may already be stale.)
extern "C" void jpegInitDestination(j_compress_ptr cinfo) {
  JpegJob* job = jobOf(cinfo);
  constexpr std::size_t kInitialCapacity = 64 * 1024;
  job->buffer = static_cast<unsigned char*>(std::malloc(kInitialCapacity));
  if (job->buffer == nullptr) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
  }
  job->capacity = kInitialCapacity;
  job->destination.next_output_byte = job->buffer;
  job->destination.free_in_buffer = job->capacity;
}

// Called with the buffer full.
extern "C" boolean jpegEmptyBuffer(j_compress_ptr cinfo) {
  JpegJob* job = jobOf(cinfo);
  const std::size_t grown = job->capacity * 2;
  auto* buffer = static_cast<unsigned char*>(std::realloc(job->buffer, grown));
  if (buffer == nullptr) {
    cinfo->err->msg_code = JERR_OUT_OF_MEMORY;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
  }
  job->buffer = buffer;
  job->destination.next_output_byte = buffer + job->capacity;
  job->destination.free_in_buffer = grown - job->capacity;
  job->capacity = grown;
  return TRUE;
}

extern "C" void jpegTermDestination(j_compress_ptr cinfo) {
  JpegJob* job = jobOf(cinfo);
  job->size = job->capacity - job->destination.free_in_buffer;
}

bool encodeJpeg(JpegJob* job, const Bitmap& bitmap, int quality) {
  job->cinfo.err = jpeg_std_error(&job->errors);
  job->errors.error_exit = jpegErrorExit;
  job->errors.output_message = jpegSilence;
  job->cinfo.client_data = job;
  if (setjmp(job->jump) != 0) {
    jpeg_destroy_compress(&job->cinfo);
    return false;
  }
  jpeg_create_compress(&job->cinfo);
  job->destination.init_destination = jpegInitDestination;
  job->destination.empty_output_buffer = jpegEmptyBuffer;
  job->destination.term_destination = jpegTermDestination;
  job->cinfo.dest = &job->destination;
  job->cinfo.image_width = static_cast<JDIMENSION>(bitmap.width());
  job->cinfo.image_height = static_cast<JDIMENSION>(bitmap.height());
  job->cinfo.input_components = 3;
  job->cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, quality, TRUE);
  jpeg_start_compress(&job->cinfo, TRUE);
  // The row buffer lives in libjpeg's image pool, freed with the compressor.
  JSAMPARRAY row = (*job->cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&job->cinfo),
                                                   JPOOL_IMAGE, job->cinfo.image_width * 3, 1);
  while (job->cinfo.next_scanline < job->cinfo.image_height) {
    const int y = static_cast<int>(job->cinfo.next_scanline);
    JSAMPLE* sample = row[0];
    for (int x = 0; x < bitmap.width(); ++x) {
      const Color c = bitmap.pixel(x, y);
      *sample++ = static_cast<JSAMPLE>(c & 0xFF);
      *sample++ = static_cast<JSAMPLE>((c >> 8) & 0xFF);
      *sample++ = static_cast<JSAMPLE>((c >> 16) & 0xFF);
    }
    jpeg_write_scanlines(&job->cinfo, row, 1);
  }
  jpeg_finish_compress(&job->cinfo);
  jpeg_destroy_compress(&job->cinfo);
  return true;
}

}  // namespace

std::string writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path, int quality) {
  if (bitmap.empty()) return failure(path, "the picture is empty");
  // Encoded in memory first, so the file itself goes through the same
  // atomic write as the bitmap and no libjpeg error can leave a partial file.
  auto job = std::make_unique<JpegJob>();  // zero-initialised
  const bool encoded = encodeJpeg(job.get(), bitmap, quality);
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(job->buffer, &std::free);
  if (!encoded) return failure(path, job->message);
  AtomicFile file(path);
  file.write(buffer.get(), job->size);
  return file.commit();
}

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
    // A word 0xFFBBGGRR is the bytes R, G, B, X: copying four bytes and
    // advancing three is twice as fast as three shifts; the next pixel
    // overwrites the X (the spare byte takes the last one).
    for (std::size_t x = 0; x < width; ++x, out += 3) std::memcpy(out, pixel + x, 4);
  } else {
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint32_t c = pixel[x];  // 0xFFBBGGRR
      *out++ = static_cast<std::uint8_t>(c);
      *out++ = static_cast<std::uint8_t>(c >> 8);
      *out++ = static_cast<std::uint8_t>(c >> 16);
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
    const int before =
        static_cast<int>(std::min<std::size_t>(piece.first, (kDeflateWindow + rowBytes - 1) / rowBytes));
    std::vector<std::uint8_t> dictionary(static_cast<std::size_t>(before) * rowBytes + 1);
    for (int k = 0; k < before; ++k) {
      scanline(bitmap, piece.first - before + k, &dictionary[static_cast<std::size_t>(k) * rowBytes]);
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
  for (const int shift : {24, 16, 8, 0}) stream.push_back(static_cast<std::uint8_t>(adler >> shift));
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

std::string writePngFile(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.empty()) return failure(path, "the picture is empty");
  const std::vector<std::uint8_t> stream = compressPicture(bitmap);
  if (stream.empty()) return failure(path, "out of memory");
  auto job = std::make_unique<PngJob>();  // zero-initialised
  job->stream = stream.data();
  job->streamSize = stream.size();
  // Streamed into the temporary file: an encoder error drops it unrenamed.
  AtomicFile file(path);
  job->file = &file;
  if (!encodePng(job.get(), bitmap)) {
    std::string reason = job->error;
    if (job->warning[0] != '\0') reason += std::string(" (") + job->warning + ")";
    return failure(path, reason);
  }
  return file.commit();
}

}  // namespace kurvana
