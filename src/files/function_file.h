// Function files: the formula texts, the range texts as typed and the display
// options, one value per line at a fixed position. ".kv1" holds one function,
// ".kv2" the pair F and G.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "base/status.h"
#include "plot/fields.h"
#include "plot/plot_state.h"

namespace kurvana {

// What a function file holds, as the program reads and writes it. Lines are
// identified by position only, so the layout follows from the two flags: G
// only with two functions, the z lines (kZCount, kZMin, kZMax) only with two
// functions or polar plotting.
struct FunctionFileContents {
  bool twoFunctions = false;
  bool polar = false;
  // The formula and range fields' texts as typed; fields the layout has no
  // line for are left out.
  FieldTexts texts;

  // The option block, in file order. Read from a file, an option the file
  // does not reach is nothing: it keeps the program's value. Written, every
  // option is there.
  bool colorLine = false;      // the file reaches the colour line ...
  std::optional<Color> color;  // ... and it holds a number (0x00BBGGRR)
  std::optional<bool> filled;  // never read with two functions: they have no fill
  std::optional<bool> lines;
  std::optional<bool> antialias;
  std::optional<bool> whiteBack;
  std::optional<bool> axes;
  std::optional<bool> grid;
  std::optional<bool> darkNegative;
  std::optional<bool> thick;
  std::optional<bool> autoScale;

  bool hasZRange() const { return twoFunctions || polar; }
};

// The text of a file: 16 lines, 19 with polar plotting, 20 for two functions;
// CR LF ends; a line end inside a field text becomes a space.
std::string functionFileText(const FunctionFileContents& contents);

// Text read in the mode `twoFunctions` (the window's, not the file's: a .kv1
// read in two-function mode takes its second line for G). LF or CR LF ends;
// lines past the end are empty, and the option block stops at the end.
FunctionFileContents parseFunctionFile(std::string_view text, bool twoFunctions);

// Writes functionFileText atomically.
Status writeFunctionFile(const std::filesystem::path& path, const FunctionFileContents& contents);

// Reads and parses a file; no contents, and a message naming the file and the
// reason, when it cannot be read: anything but a regular file, and a file over
// 1 MiB, is refused unread.
struct [[nodiscard]] FunctionFileRead {
  std::optional<FunctionFileContents> contents;
  Status status;
};
FunctionFileRead readFunctionFile(const std::filesystem::path& path, bool twoFunctions);

// The mode a file name asks for: true for ".kv2", false for ".kv1" anywhere
// in the name, in any letter case; nothing for other names.
std::optional<bool> twoFunctionsFromName(std::string_view name);

}  // namespace kurvana
