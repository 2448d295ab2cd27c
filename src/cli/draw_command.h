// `kurvana-cli draw`: the start-up plot of the window, saved as a picture.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace kurvana::cli {

// args are the words after "draw". Returns the exit status: 0 when the
// picture was saved, 1 when the Draw stopped with a message or the picture
// could not be written, 2 for a usage error.
int runDraw(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// args are the words after "save-function": draw options and one PATH. Writes
// the function file of those fields and options in the mode the name asks for
// (".kv1" one function, ".kv2" two). 0 on success, 1 when the file cannot be
// written, 2 for a usage error.
int runSaveFunction(std::span<const std::string_view> args, std::ostream& err);

}  // namespace kurvana::cli
