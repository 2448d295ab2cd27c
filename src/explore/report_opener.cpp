#include "explore/report_opener.h"

#include "files/child_process.h"

namespace kurvana {

ReportOpener::ReportOpener(std::vector<std::string> command) : command_(std::move(command)) {}

ReportOpener::~ReportOpener() {
  reapBackgroundChildren();
}

bool ReportOpener::open(const std::filesystem::path& path) {
  if (command_.empty()) return false;
  // One editor per report file: each Draw rewrites the same file, and a new
  // window per zoom step would bury the desktop.
  if (group_ && processGroupRuns(*group_)) return true;
  std::vector<std::string> words = command_;
  words.push_back(path.string());
  group_ = startProcessGroup(words);
  return group_.has_value();
}

}  // namespace kurvana
