#include "files/picture_file.h"

#include "files/picture_encoding.h"

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
    case PictureFormat::kSvg:
    case PictureFormat::kPdf:
      break;
  }
  return writeFailure(path, "a vector picture is drawn from the plot, not from its pixels");
}

}  // namespace kurvana
