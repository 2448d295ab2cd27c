// The names of the window's fields, labels and toggles, and sizes in pixels:
// the values the core and the window exchange.
#pragma once

#include <array>
#include <cstddef>
#include <string>

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

// Labels the core writes (their control names in brackets).
enum class Label {
  kReadoutX,           // x of the cursor readout (Label16)
  kReadoutF,           // F(x) of the cursor readout (Label17)
  kReadoutDerivative,  // F'(x) of the cursor readout (Label18)
  kIntegral,           // the integral over the x range (Label19)
  kPlotSize,           // "= W, H" of the plot area (Label24)
};

// The main window's round toggle buttons, whose pictures show an option.
enum class Toggle {
  kAutoScale,  // "Automatic scale"
  kFilled,     // "Filled graphic"
  kLines,      // "Line drawing"
  kCircle,     // "Show circle"
};

struct Size {
  int width = 0;
  int height = 0;
};

struct Point {
  int x = 0;
  int y = 0;
};

// Right and bottom exclusive, image pixels.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// Every field's text, indexed by Field.
inline constexpr std::size_t kFieldCount = 9;
using FieldTexts = std::array<std::string, kFieldCount>;
inline std::string& textOf(FieldTexts& texts, Field f) {
  return texts[static_cast<std::size_t>(f)];
}
inline const std::string& textOf(const FieldTexts& texts, Field f) {
  return texts[static_cast<std::size_t>(f)];
}

}  // namespace kurvana
