// The window as the plot core sees it: the Qt main window and the test fake implement it.
#pragma once

#include <string>
#include <string_view>

namespace kurvana {

// The main window's input fields (their control names in brackets).
enum class Field {
  kXMin,      // "x min" (Edit1)
  kXMax,      // "x max" (Edit2)
  kYMin,      // "y min" (Edit3)
  kYMax,      // "y max" (Edit4)
  kFormulaF,  // "F(x)=" formula, label included (Edit5)
  kFormulaG,  // "G(x)=" formula, label included (Edit6)
  kZMin,      // "z min" (Edit8)
  kZMax,      // "z max" (Edit9)
  kZCount,    // "Z", number of parameter samples (Edit7)
};

class PlotView {
 public:
  virtual ~PlotView() = default;

  virtual std::string fieldText(Field field) const = 0;
  virtual void setFieldText(Field field, std::string_view text) = 0;
  virtual void setFieldEnabled(Field field, bool enabled) = 0;
};

}  // namespace kurvana
