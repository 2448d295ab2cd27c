#include "files/picture_file.h"

namespace kurvana {

Status writePictureFile(const Bitmap& bitmap, const std::filesystem::path& path,
                        PictureFormat format) {
  switch (format) {
    case PictureFormat::kBmp:
      return writeBmpFile(bitmap, path);
    case PictureFormat::kJpeg:
      return writeJpegFile(bitmap, path);
    case PictureFormat::kPng:
      return writePngFile(bitmap, path);
  }
  return {};
}

}  // namespace kurvana
