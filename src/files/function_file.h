// Function files: the formula texts, the range texts as typed and the display
// options, one value per line at a fixed position. ".kv1" holds one function,
// ".kv2" the pair F and G.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "plot/plot_state.h"
#include "plot/plot_view.h"

namespace kurvana {

// The file of the current mode (optTwoFunctions) from the field texts and
// flags: 16 lines, 19 with polar plotting, 20 for two functions; CR LF ends.
std::string functionFileText(const PlotState& state, const PlotView& view);

// Writes that text atomically; empty on success, else the message.
std::string saveFunctionFile(const PlotState& state, const PlotView& view,
                             const std::filesystem::path& path);

// Applies file contents read in the current mode to the fields and the state,
// with the side effects of each option (scheme colours, toggle pictures, the
// swatch, the range fields' enabling). Lines are identified by position only.
void applyFunctionFile(PlotState& state, PlotView& view, std::string_view contents);

// Reads the file and applies it; empty on success, else a message naming the
// file and the reason (nothing is applied then): anything but a regular file,
// and a file over 1 MiB, is refused unread.
std::string readFunctionFile(PlotState& state, PlotView& view, const std::filesystem::path& path);

// The mode a file name asks for: true for ".kv2", false for ".kv1" anywhere
// in the name, in any letter case; nothing for other names.
std::optional<bool> twoFunctionsFromName(std::string_view name);

}  // namespace kurvana
