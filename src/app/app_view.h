// The main window as the controller sees it: the plot core's view plus the
// parts of the window that only whole commands change.
#pragma once

#include <string_view>

#include "plot/interface_texts.h"
#include "plot/plot_view.h"

namespace kurvana {

// The formula area's arrangement for a mode.
enum class FormulaArea {
  kOneFunction,   // F field only; third readout "F'(x)", the integral shown
  kPolar,         // F field and the parameter group; no third readout caption, no integral
  kTwoFunctions,  // F and G fields and the parameter group; third readout "G(x)"
};

class AppView : public PlotView {
 public:
  // Places the formula fields, shows or hides the G field, the parameter
  // group, the derivative and integral readouts, and sets the third readout's
  // caption for the mode.
  virtual void arrangeFormulaArea(FormulaArea area) = 0;
  // The name of the loaded function file, shown over the plot; empty when none.
  virtual void showFileName(std::string_view name) = 0;
  // A language was applied: every caption and title takes its text from the
  // table (messages and report words are read from it when they are made).
  virtual void showInterfaceTexts(const InterfaceTexts& texts) = 0;
};

}  // namespace kurvana
