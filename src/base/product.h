// The program's name, as files, folders and windows spell it, and the
// process environment as the core asks for it (a function, so that tests
// hand in their own).
#pragma once

#include <functional>

namespace kurvana {

inline constexpr char kProductName[] = "Kurvana";

// Looks up an environment variable; null when unset.
using Environment = std::function<const char*(const char*)>;

}  // namespace kurvana
