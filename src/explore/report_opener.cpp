#include "explore/report_opener.h"

#include "files/desktop_registration.h"

namespace kurvana {

ReportOpener::ReportOpener(std::vector<std::string> command) : command_(std::move(command)) {}

bool ReportOpener::open(const std::filesystem::path& path) const {
  if (command_.empty()) return false;
  std::vector<std::string> words = command_;
  words.push_back(path.string());
  return runInBackground(words);
}

}  // namespace kurvana
