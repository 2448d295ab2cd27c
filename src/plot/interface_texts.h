// The interface text table: captions, message strings and report strings,
// English by default and replaced as a whole by a translation.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kurvana {

// Entries of the table; the message and report strings keep the names the
// rest of the program knows them by (msgSyntax1 .. txtIntegral).
enum class TextId : std::size_t {
  kColorPicker,
  kAutoScale,
  kFilled,
  kLines,
  kShowCircle,
  kSettingsTitle,
  kTwoFunctions,
  kAntialias,
  kWhiteBack,
  kLanguage,
  kShowGrid,
  kShowAxes,
  kDarkNegative,
  kReport,
  kPaletteTitle,
  kMessageTitle,
  kMsgSyntax1,
  kMsgSyntax2,
  kMsgSyntax3,
  kMsgBrackets,
  kMsgOverflow1,
  kMsgOverflow2,
  kMsgOverflow3,
  kMsgRange1,
  kMsgRange2,
  kMsgRange3,
  kTxtFunctionFormula,
  kTxtPoints,
  kTxtRoots,
  kTxtMinima,
  kTxtMaxima,
  kTxtIntegral,
  kPolar,
  kThick,
  kAboutTitle,
};

inline constexpr std::size_t kTextCount = 35;

// Used exactly as they stand, leading spaces and spelling included.
inline constexpr std::array<std::string_view, kTextCount> kEnglishTexts = {
    " Color picker",
    " Automatic scale",
    " Filled graphic",
    " Line drawing",
    " Show circle",
    "Settings",
    "Parametric functions",
    "Antialiased line drawing",
    "White background",
    "Program language",
    "Show grid",
    "Show XY axes",
    "Darker negative",
    "Generate report",
    "Color palette",
    "Error message",
    "Please check the sintax of function",
    "or verify the list of supported functions!",
    "Notice that these formulas are case insensitive.",
    "including the number of brackets you have used!",
    "calculation has generated an overflow error!",
    "Try to modify the range of the argument",
    "in order to avoid this kind of errors.",
    "The minimum value of the function's argument",
    "has to be lower than the maximum value!",
    "Fix the range of the argument and try again.",
    "Function formula",
    "points",
    "Function roots",
    "Local minimum points",
    "Local maximum points",
    "Integral value on",
    "Polar coordinates",
    "Thick lines and dots",
    "About this utility",
};

struct InterfaceTexts {
  InterfaceTexts() {
    for (std::size_t i = 0; i < kTextCount; ++i) languageTexts[i] = kEnglishTexts[i];
  }
  const std::string& operator[](TextId id) const {
    return languageTexts[static_cast<std::size_t>(id)];
  }

  std::array<std::string, kTextCount> languageTexts;
};

}  // namespace kurvana
