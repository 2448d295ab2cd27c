// Usage text and usage errors of kurvana-cli.
#pragma once

#include <ostream>
#include <string_view>

namespace kurvana::cli {

inline constexpr std::string_view kUsage =
    "usage: kurvana-cli eval [--general] FORMULA [X ...]\n"
    "       kurvana-cli draw [OPTIONS] [-o PICTURE] [--report PATH]\n"
    "       kurvana-cli save-function [OPTIONS] PATH\n"
    "\n"
    "eval: evaluates a formula field's text, label included (e.g. 'F(x)=sin(x)^2'),\n"
    "  at each argument X (C syntax, e.g. 0.5, -1e-3, 3).\n"
    "  --general          print values in the general number format of the range fields\n"
    "\n"
    "draw: paints the plot as the window does at start-up and saves the picture\n"
    "  (24-bit BMP; JPEG when PICTURE ends in .jpg or .jpeg, PNG when it ends in\n"
    "  .png, SVG or PDF when it ends in .svg or .pdf, in any letter case; the\n"
    "  vector pictures are drawn again as paths and text, a point per pixel).\n"
    "  --f TEXT, --g TEXT   the F and G formula fields as typed\n"
    "  --x-min T, --x-max T, --y-min T, --y-max T, --z-min T, --z-max T, --z-count T\n"
    "                       the range fields as typed (the user's decimal separator)\n"
    "  --two-functions --polar --auto --lines --fill --antialias --white --thick\n"
    "  --no-grid --no-axes --no-dark\n"
    "                       switch that option from its default\n"
    "  --color N            curve colour as a decimal integer, red in the low byte\n"
    "  --size WxH           plot image size, 100x100 to 2040x1340 (default 824x668)\n"
    "  --scale S            device pixels per window pixel, 1 to 4 (default 1): the\n"
    "                       picture is round(S*W) x round(S*H) pixels, sampled once\n"
    "                       per device column, as a window on a screen of that scale\n"
    "  --file PATH          a function file read before the other options; its name\n"
    "                       chooses the mode (.kv1 one function, .kv2 two)\n"
    "  -o PATH              the picture file: .png PNG, .jpg or .jpeg JPEG, .svg SVG,\n"
    "                       .pdf PDF, else BMP\n"
    "  --report PATH        draw with \"Generate report\" on and write the analysis\n"
    "                       report (roots, extrema, integral) to PATH; -o may then\n"
    "                       be left out. Polar plots have no report.\n"
    "  An F field that holds only its label draws nothing: the empty plot is saved,\n"
    "  a note on stderr says so and the exit status is 1.\n"
    "\n"
    "save-function: writes the function file of the fields and options above,\n"
    "  in the mode its name asks for (.kv1 or .kv2).\n";

inline constexpr int kUsageStatus = 2;

inline int usageError(std::ostream& err, std::string_view problem = {}) {
  if (!problem.empty()) err << "kurvana-cli: " << problem << '\n';
  err << kUsage;
  return kUsageStatus;
}

}  // namespace kurvana::cli
