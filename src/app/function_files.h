// Function files between the window and the files layer: the contents taken
// from the fields and the state, and applied back with every option's side
// effect.
#pragma once

#include <filesystem>

#include "base/status.h"
#include "files/function_file.h"
#include "plot/plot_state.h"
#include "app/app_view.h"

namespace kurvana {

// The file of the current mode (optTwoFunctions) from the field texts and
// flags.
FunctionFileContents functionFileOf(const PlotState& state, const AppView& view);

// Puts file contents into the fields and the state, with the side effects of
// each option: the scheme colours and the swatch, the toggle pictures, the
// background, the range fields' enabling.
void applyFunctionFile(PlotState& state, AppView& view, const FunctionFileContents& contents);

// Reads a file in the current mode and applies it; nothing is applied when it
// cannot be read.
Status loadFunctionFile(PlotState& state, AppView& view, const std::filesystem::path& path);

// Writes the file of the current mode.
Status saveFunctionFile(const PlotState& state, const AppView& view,
                        const std::filesystem::path& path);

}  // namespace kurvana
