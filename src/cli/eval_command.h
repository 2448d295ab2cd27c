// `kurvana-cli eval`: a formula field's text evaluated at given arguments.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace kurvana::cli {

// args are the words after "eval". Returns the exit status: 0 when every line
// is a value, 1 when any line is an error, 2 for a usage error.
int runEval(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace kurvana::cli
