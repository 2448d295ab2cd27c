// The analysis report as a file (explore/report.h makes its lines).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "base/status.h"

namespace kurvana {

// In the data folder unless the window names another place.
inline constexpr std::string_view kReportFileName = "kvreport.txt";

// The lines with CR LF ends, written atomically.
Status writeReport(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace kurvana
