// The plot state: ranges, plot geometry, option flags, colours, compiled formulas and samples.
#pragma once

#include <array>
#include <cstdint>

#include "engine/formula.h"

namespace kurvana {

// Option flags are bytes holding 11 or 22, never 1 and 0: the settings file stores
// them verbatim, so these values are part of its format.
inline constexpr std::uint8_t flagOn = 11;
inline constexpr std::uint8_t flagOff = 22;

// 0x00BBGGRR: red in the low byte.
using Color = std::uint32_t;

inline constexpr Color kDefaultCurveColor = 0xFF6060;

// The largest device scale (device pixels per window pixel) a picture is
// painted at.
inline constexpr double kMaxScale = 4;

// One sample per device column of the plot (at most 2000 per scale unit) or
// per parameter step (at most 2000); the last entry is never written by a Draw.
inline constexpr int kSampleCapacity = 2000 * static_cast<int>(kMaxScale) + 1;

// True only for flagOn; a damaged byte (neither 11 nor 22) counts as off.
bool isOn(std::uint8_t flag);

// flagOn when the flag was flagOff, flagOff otherwise (a damaged byte turns off).
void toggle(std::uint8_t& flag);

// The darker companion of a colour: each channel * 8 / 10, truncated.
Color c10(Color color);

// The view range in world coordinates, and the parameter range of parametric
// and polar plots.
struct PlotRanges {
  long double xMin = 0;
  long double xMax = 10;
  long double yMin = -5;
  long double yMax = 5;
  long double zMin = 0;
  long double zMax = 10;
  std::int32_t zCount = 1000;  // parameter samples, kept within 10..2000 by range reading
};

// Where the last painted frame put the plot, in device pixels: no plot area
// yet, and neither axis in view (-100 means "not shown").
struct FrameGeometry {
  // Device pixels per window pixel: the host's screen, set before the frame
  // is painted; the frame, the painters and the readout all follow it.
  double scale = 1;
  std::int32_t plotWidth = 0;
  std::int32_t plotHeight = 0;
  std::int32_t yAxisColumn = -100;
  std::int32_t xAxisRow = -100;
};

// The display options, as the settings record stores them (flagOn, flagOff).
struct PlotOptions {
  std::uint8_t optAutoScale = flagOff;
  std::uint8_t optLines = flagOff;
  std::uint8_t optFilled = flagOff;
  std::uint8_t optCircle = flagOff;
  std::uint8_t optWhiteBack = flagOff;
  std::uint8_t optGrid = flagOn;
  std::uint8_t optAxes = flagOn;
  std::uint8_t optDarkNegative = flagOn;
  std::uint8_t optReport = flagOff;
  std::uint8_t optPolar = flagOff;
  std::uint8_t optThick = flagOff;
  std::uint8_t optAntialias = flagOff;
  std::uint8_t optLanguage = flagOff;
  std::uint8_t optTwoFunctions = flagOff;
};

// The curve colour with its dark companion, and the scheme the frame uses.
struct PlotColours {
  // Change curveColor through setCurveColor so that the dark variant follows.
  Color curveColor = kDefaultCurveColor;
  Color curveColorDark = c10(kDefaultCurveColor);
  // The palette follows optWhiteBack; it is filled in when the frame is painted.
  Color backColor = 0;
  Color gridColor = 0;
  Color axesColor = 0;
  Color labelColor = 0;
};

// The last Draw: its compiled formulas and the samples on screen.
struct PlotSamples {
  Formula formulaF;    // the "F(x)=" field as last compiled
  Formula formulaG;    // the "G(x)=" field, used only with two functions
  EvalWorkspace eval;  // eval.evalResult holds the last evaluated value

  // Meaningful only while plotValid is set; see the Draw command for the layout
  // of each mode.
  std::array<long double, kSampleCapacity> samplesA{};
  std::array<long double, kSampleCapacity> samplesB{};

  bool plotValid = false;    // the buffers hold the plot that is on screen
  bool circleShown = false;  // the cursor ring is painted on the image
  long double integralValue = 0;
};

// The record the plotting pipeline shares, made of its parts so that a
// function can take only the part it reads. The application object owns the
// one instance; everything else receives it by reference.
struct PlotState : PlotRanges, FrameGeometry, PlotOptions, PlotColours, PlotSamples {};

// Sets the curve colour and recomputes its dark variant.
void setCurveColor(PlotColours& colours, Color color);

}  // namespace kurvana
