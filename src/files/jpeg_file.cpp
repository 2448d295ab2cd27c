// Baseline JPEG through libjpeg, encoded in memory.
#include <bit>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

// libjpeg's header needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "files/atomic_file.h"
#include "files/picture_encoding.h"
#include "files/picture_file.h"

namespace kurvana {
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
  // The bitmap's rows go in as they are stored: words 0xFFRRGGBB, the bytes
  // B, G, R, X (X, R, G, B on a big-endian machine), which libjpeg-turbo
  // reads as such.
  job->cinfo.input_components = 4;
  job->cinfo.in_color_space =
      std::endian::native == std::endian::little ? JCS_EXT_BGRX : JCS_EXT_XRGB;
  jpeg_set_defaults(&job->cinfo);
  jpeg_set_quality(&job->cinfo, quality, TRUE);
  jpeg_start_compress(&job->cinfo, TRUE);
  // libjpeg only reads the rows it is given, through a pointer without const.
  auto* pixels = reinterpret_cast<JSAMPLE*>(const_cast<std::uint32_t*>(bitmap.data()));
  const auto stride = static_cast<std::size_t>(bitmap.width()) * 4;
  while (job->cinfo.next_scanline < job->cinfo.image_height) {
    JSAMPROW row = pixels + job->cinfo.next_scanline * stride;
    jpeg_write_scanlines(&job->cinfo, &row, 1);
  }
  jpeg_finish_compress(&job->cinfo);
  jpeg_destroy_compress(&job->cinfo);
  return true;
}

}  // namespace

Status writeJpegFile(const Bitmap& bitmap, const std::filesystem::path& path, int quality) {
  if (bitmap.empty()) return writeFailure(path, "the picture is empty");
  // Encoded in memory first, so the file itself goes through the same
  // atomic write as the bitmap and no libjpeg error can leave a partial file.
  auto job = std::make_unique<JpegJob>();  // zero-initialised
  const bool encoded = encodeJpeg(job.get(), bitmap, quality);
  const std::unique_ptr<unsigned char, decltype(&std::free)> buffer(job->buffer, &std::free);
  if (!encoded) return writeFailure(path, job->message);
  AtomicFile file(path);
  file.write(buffer.get(), job->size);
  return file.commit();
}

}  // namespace kurvana
