// The label face's file, remembered between runs. Asking fontconfig means
// parsing its whole configuration and reading its caches first, which costs
// more than the rest of a kurvana-cli run; the answer changes only when the
// configuration, the font folders or the font do.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/product.h"
#include "render/text.h"

namespace kurvana {

// CACHE/kurvana/font-cache, CACHE being XDG_CACHE_HOME when it is an
// absolute path, else HOME/.cache; nothing when neither is known.
std::optional<std::filesystem::path> fontCachePath(const Environment& env);

// How a family is looked up when the cache cannot answer (matchFont).
using FontMatcher = std::function<std::optional<FontMatch>(const std::string& family)>;

// The file for `family`: the remembered one while every path its choice
// rested on has the type, size and modification time it had then, and
// fontconfig's version, the family and the variables fontMatchVariables()
// names (read through `env`) are the same; otherwise `match`'s, remembered
// anew (written atomically; a cache that cannot be written is left as it is).
// A cache that is missing, unreadable, not a regular file, over its cap or
// not understood counts as changed. Nothing when `match` finds nothing.
std::optional<FontFile> findFontFile(const std::string& family, const Environment& env,
                                     const FontMatcher& match = matchFont);

}  // namespace kurvana
