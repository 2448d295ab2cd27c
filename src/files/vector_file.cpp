#include <optional>
#include <string>

#include "files/atomic_file.h"
#include "files/picture_encoding.h"
#include "files/picture_file.h"

namespace kurvana {

Status writeVectorPictureFile(const VectorPictureInput& input, const std::filesystem::path& path,
                              VectorFormat format) {
  // The whole file is made in memory first, so nothing is replaced when
  // cairo fails.
  const std::optional<std::string> bytes = vectorPicture(input, format);
  if (!bytes) return writeFailure(path, "the picture could not be drawn");
  AtomicFile file(path);
  file.write(*bytes);
  return file.commit();
}

}  // namespace kurvana
