// The main window as the controller sees it: fields, labels, toggles, the
// picture's place, the beep and the message, and the parts of the window that
// only whole commands change. Only src/app talks to it; the Qt main window,
// kurvana-cli's memory view and the tests implement it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "plot/fields.h"
#include "plot/interface_texts.h"
#include "render/bitmap.h"

namespace kurvana {

// The formula area's arrangement for a mode.
enum class FormulaArea {
  kOneFunction,   // F field only; third readout "F'(x)", the integral shown
  kPolar,         // F field and the parameter group; no third readout caption, no integral
  kTwoFunctions,  // F and G fields and the parameter group; third readout "G(x)"
};

class AppView {
 public:
  virtual ~AppView() = default;

  virtual std::string fieldText(Field field) const = 0;
  virtual void setFieldText(Field field, std::string_view text) = 0;
  virtual void setFieldEnabled(Field field, bool enabled) = 0;

  // The font colour of a formula field (0x00BBGGRR) and the keyboard focus.
  virtual void setFieldColor(Field field, std::uint32_t color) = 0;
  virtual void focusField(Field field) = 0;

  virtual void setLabel(Label label, std::string_view text) = 0;

  // The picture of a toggle button and the colour picker's swatch.
  virtual void showToggle(Toggle toggle, bool on) = 0;
  virtual void showCurveColor(std::uint32_t color) = 0;

  // The main window's client size, from which the plot image is sized.
  virtual Size windowSize() const = 0;
  // Places the plot image; the window centres the file-name label over it.
  virtual void placeImage(int left, int top, int width, int height) = 0;

  // The platform's default beep, and the three-line message window.
  virtual void beep() = 0;
  virtual void showMessage(std::string_view line1, std::string_view line2,
                           std::string_view line3) = 0;

  // Places the formula fields, shows or hides the G field, the parameter
  // group, the derivative and integral readouts, and sets the third readout's
  // caption for the mode.
  virtual void arrangeFormulaArea(FormulaArea area) = 0;
  // The name of the loaded function file, shown over the plot; empty when none.
  virtual void showFileName(std::string_view name) = 0;
  // A language was applied: every caption and title takes its text from the
  // table (messages and report words are read from it when they are made).
  virtual void showInterfaceTexts(const InterfaceTexts& texts) = 0;
  // "Copy picture": the picture, pixel for pixel, onto the clipboard as an image.
  virtual void copyPicture(const Bitmap& picture) = 0;
};

}  // namespace kurvana
