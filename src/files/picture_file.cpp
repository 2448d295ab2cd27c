#include "files/picture_file.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
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
constexpr int kPngFilters = PNG_FILTER_NONE;
constexpr int kPngLevel = 1;
constexpr int kPngMemoryLevel = 4;
constexpr int kPngStrategy = Z_DEFAULT_STRATEGY;
// The compressed data goes out in chunks of this size: fewer chunk headers,
// deflate calls and system calls than with libpng's 8 KB.
constexpr std::size_t kPngChunkBytes = 64 * 1024;

// libpng reports fatal errors through a handler that must not return; it
// jumps back to encodePng. The handlers only fill fixed buffers, so nothing
// can throw through libpng, and the jump crosses no destructor.
struct PngJob {
  AtomicFile* file;
  std::vector<png_byte> row;  // RGB and a spare byte; sized before libpng runs
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

// Straight into the temporary file, which keeps the first failure for commit().
extern "C" void pngWrite(png_structp png, png_bytep data, std::size_t size) {
  static_cast<PngJob*>(png_get_io_ptr(png))->file->write(data, size);
}

extern "C" void pngFlush(png_structp) {}

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
  const auto width = static_cast<std::size_t>(bitmap.width());
  png_set_IHDR(png, info, static_cast<png_uint_32>(width),
               static_cast<png_uint_32>(bitmap.height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_pHYs(png, info, kPixelsPerMetre, kPixelsPerMetre, PNG_RESOLUTION_METER);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kPngFilters);
  png_set_compression_level(png, kPngLevel);
  png_set_compression_mem_level(png, kPngMemoryLevel);
  png_set_compression_strategy(png, kPngStrategy);
  png_set_compression_buffer_size(png, kPngChunkBytes);
  png_write_info(png, info);
  png_byte* const row = job->row.data();
  for (int y = 0; y < bitmap.height(); ++y) {
    const std::uint32_t* pixel = bitmap.data() + static_cast<std::size_t>(y) * width;
    png_byte* o = row;
    if constexpr (std::endian::native == std::endian::little) {
      // A word 0xFFBBGGRR is the bytes R, G, B, X: copying four bytes and
      // advancing three is twice as fast as three shifts; the next pixel
      // overwrites the X (the row has a spare byte for the last one).
      for (std::size_t x = 0; x < width; ++x, o += 3) std::memcpy(o, pixel + x, 4);
    } else {
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t c = pixel[x];  // 0xFFBBGGRR
        *o++ = static_cast<png_byte>(c);
        *o++ = static_cast<png_byte>(c >> 8);
        *o++ = static_cast<png_byte>(c >> 16);
      }
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

std::string writePngFile(const Bitmap& bitmap, const std::filesystem::path& path) {
  if (bitmap.empty()) return failure(path, "the picture is empty");
  auto job = std::make_unique<PngJob>();  // zero-initialised
  job->row.resize(static_cast<std::size_t>(bitmap.width()) * 3 + 1);
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
