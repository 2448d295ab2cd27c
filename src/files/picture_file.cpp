#include "files/picture_file.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

// libjpeg's header needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

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

}  // namespace kurvana
