// The analysis report: roots, local minima and maxima and the integral of the
// plotted function, found in the samples of the last Draw.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "plot/fields.h"
#include "plot/interface_texts.h"
#include "plot/plot_state.h"

namespace kurvana {

// Samples v[0 .. n-1] taken evenly from `start` to `end`; positions are
// world coordinates, accurate to the sample spacing.
struct SampleRun {
  std::span<const long double> v;
  long double start = 0;
  long double end = 0;

  // The position of real index u.
  long double position(long double u) const {
    return u * (end - start) / static_cast<long double>(v.size() - 1) + start;
  }
};

// Roots: every sample from index 1 on that is exactly 0, and the midpoint of
// every strict sign change between neighbours. Sample 0 counts only as a
// neighbour.
std::vector<long double> findRoots(const SampleRun& run);

// Turns of direction down-then-up (minima) or up-then-down (maxima), equal
// neighbours not ending a run; each placed midway between the last step
// before it and the first step after it. None at either end.
std::vector<long double> findMinima(const SampleRun& run);
std::vector<long double> findMaxima(const SampleRun& run);

// The report's lines, without line ends: Cartesian mode lists the roots,
// extrema and integral of F; two-function mode the roots of F and G over the
// parameter. The formula and range texts of `fields` are copied as typed.
// (files/report_file.h writes them.)
std::vector<std::string> reportLines(const PlotState& state, const FieldTexts& fields,
                                     const InterfaceTexts& texts,
                                     std::string_view decimalSeparator);

}  // namespace kurvana
