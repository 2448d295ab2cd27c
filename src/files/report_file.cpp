#include "files/report_file.h"

#include "files/atomic_file.h"

namespace kurvana {

Status writeReport(const std::filesystem::path& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return writeFileAtomically(path, text);
}

}  // namespace kurvana
