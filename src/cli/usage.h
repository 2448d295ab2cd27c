// Usage text and usage errors of kurvana-cli.
#pragma once

#include <ostream>
#include <string_view>

namespace kurvana::cli {

inline constexpr std::string_view kUsage =
    "usage: kurvana-cli eval [--general] FORMULA [X ...]\n"
    "  FORMULA  a formula field's text, label included, e.g. 'F(x)=sin(x)^2'\n"
    "  X        an argument in C syntax, e.g. 0.5, -1e-3, 3\n"
    "  --general  print values in the general number format of the range fields\n";

inline constexpr int kUsageStatus = 2;

inline int usageError(std::ostream& err, std::string_view problem = {}) {
  if (!problem.empty()) err << "kurvana-cli: " << problem << '\n';
  err << kUsage;
  return kUsageStatus;
}

}  // namespace kurvana::cli
