#include "cli/draw_command.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/controller.h"
#include "app/field_texts.h"
#include "app/memory_view.h"
#include "cli/usage.h"
#include "files/function_file.h"
#include "plot/range_fields.h"
#include "render/plot_frame.h"

namespace kurvana::cli {
namespace {

constexpr int kWindowExtraWidth = 200;  // the window around the plot image
constexpr int kWindowExtraHeight = 100;

const std::map<std::string_view, std::uint8_t PlotState::*> kSwitches = {
    {"--two-functions", &PlotState::optTwoFunctions},
    {"--polar", &PlotState::optPolar},
    {"--auto", &PlotState::optAutoScale},
    {"--lines", &PlotState::optLines},
    {"--fill", &PlotState::optFilled},
    {"--antialias", &PlotState::optAntialias},
    {"--white", &PlotState::optWhiteBack},
    {"--thick", &PlotState::optThick},
    {"--no-grid", &PlotState::optGrid},
    {"--no-axes", &PlotState::optAxes},
    {"--no-dark", &PlotState::optDarkNegative},
};

const std::map<std::string_view, Field> kFieldOptions = {
    {"--f", Field::kFormulaF}, {"--g", Field::kFormulaG}, {"--x-min", Field::kXMin},
    {"--x-max", Field::kXMax}, {"--y-min", Field::kYMin}, {"--y-max", Field::kYMax},
    {"--z-min", Field::kZMin}, {"--z-max", Field::kZMax}, {"--z-count", Field::kZCount},
};

template <typename T>
std::optional<T> parseWhole(std::string_view text) {
  T value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<Size> parseSize(std::string_view text) {
  const auto x = text.find('x');
  if (x == std::string_view::npos) return std::nullopt;
  const auto w = parseWhole<int>(text.substr(0, x));
  const auto h = parseWhole<int>(text.substr(x + 1));
  if (!w || !h || *w < 100 || *h < 100 || *w > kMaxImageWidth || *h > kMaxImageHeight) {
    return std::nullopt;
  }
  return Size{*w, *h};
}

// A decimal number with the point, 1 to kMaxScale.
std::optional<double> parseScale(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                            std::chars_format::fixed);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (!(value >= 1 && value <= kMaxScale)) return std::nullopt;
  return value;
}

// The name's ending, in any letter case, chooses the format; BMP otherwise.
PictureFormat formatOfName(std::string_view path) {
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.ends_with(".png")) return PictureFormat::kPng;
  if (lower.ends_with(".svg")) return PictureFormat::kSvg;
  if (lower.ends_with(".pdf")) return PictureFormat::kPdf;
  if (lower.ends_with(".jpg") || lower.ends_with(".jpeg")) return PictureFormat::kJpeg;
  return PictureFormat::kBmp;
}

ControllerSetup setupWithReport(std::optional<std::string> reportPath) {
  ControllerSetup setup = ControllerSetup::headless();
  if (reportPath) setup.reportPath = *reportPath;
  return setup;
}

// The tool's window: the fields, the controller over them, and what the
// options say. Nothing of the user's is touched: no data folder, no
// registration, and a report goes only where --report says.
struct Session {
  MemoryView view;
  Controller controller;
  Size image{824, 668};
  double scale = 1;
  std::optional<std::string> picture;
  std::optional<std::string> report;
  std::vector<std::string> positional;

  explicit Session(std::optional<std::string> reportPath)
      : controller(view, setupWithReport(std::move(reportPath))) {
    controller.showStateInFields();
  }
};

// The value of the last --report in a draw command's words, so that the
// controller knows where reports go before the options apply.
std::optional<std::string> reportOption(std::span<const std::string_view> args) {
  std::optional<std::string> path;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] == "--report") path = std::string(args[++i]);
  }
  return path;
}

// Applies the options in order, a function file named by --file first.
// Returns an exit status when the command cannot go on.
std::optional<int> applyOptions(std::span<const std::string_view> args, Session& session,
                                bool positionalAllowed, std::ostream& err) {
  PlotState& s = session.controller.app().plot;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--file") continue;
    const Status status = session.controller.openFunctionFileAsNamed(std::string(args[i + 1]));
    if (!status.ok()) {
      for (const std::string& problem : status.messages())
        err << "kurvana-cli: " << problem << '\n';
      return 1;
    }
  }
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (const auto sw = kSwitches.find(arg); sw != kSwitches.end()) {
      std::uint8_t& flag = s.*(sw->second);
      flag = arg.starts_with("--no-") ? flagOff : flagOn;
      continue;
    }
    if (positionalAllowed && !arg.starts_with("-")) {
      session.positional.emplace_back(arg);
      continue;
    }
    const bool takesValue = kFieldOptions.contains(arg) || arg == "--color" || arg == "--size" ||
                            arg == "--scale" ||
                            arg == "--file" ||
                            ((arg == "-o" || arg == "--report") && !positionalAllowed);
    if (!takesValue) return usageError(err, "unknown option: " + std::string(arg));
    if (i + 1 >= args.size()) return usageError(err, "missing value after " + std::string(arg));
    const std::string_view value = args[++i];
    if (const auto field = kFieldOptions.find(arg); field != kFieldOptions.end()) {
      session.view.texts[field->second] = std::string(value);
    } else if (arg == "--color") {
      const auto color = parseWhole<std::int32_t>(value);
      if (!color) return usageError(err, "not a colour: " + std::string(value));
      setCurveColor(s, static_cast<Color>(*color) & 0xFFFFFFu);
    } else if (arg == "--size") {
      const auto size = parseSize(value);
      if (!size) {
        return usageError(err, "not a size from 100x100 to 2040x1340: " + std::string(value));
      }
      session.image = *size;
    } else if (arg == "--scale") {
      const auto scale = parseScale(value);
      if (!scale) return usageError(err, "not a scale from 1 to 4: " + std::string(value));
      session.scale = *scale;
    } else if (arg == "-o") {
      session.picture = std::string(value);
    } else if (arg == "--report") {
      session.report = std::string(value);
    }
  }
  return std::nullopt;
}

}  // namespace

int runDraw(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  Session session(reportOption(args));
  if (const auto status = applyOptions(args, session, false, err)) return *status;
  if (session.picture && session.picture->empty()) return usageError(err, "empty picture name");
  if (session.report && session.report->empty()) return usageError(err, "empty report name");
  if (!session.picture && !session.report) return usageError(err, "missing -o PICTURE");
  Controller& controller = session.controller;
  const PlotState& s = controller.plot();
  MemoryView& view = session.view;

  view.window =
      Size{session.image.width + kWindowExtraWidth, session.image.height + kWindowExtraHeight};
  if (session.report) controller.app().plot.optReport = flagOn;
  controller.applyOptions();
  (void)controller.scaleChanged(session.scale);  // nothing painted yet: nothing to report
  const DrawResult drawn = controller.redraw();
  if (view.message) {  // the Draw stopped; the window would show these lines
    for (const std::string& line : *view.message) err << line << '\n';
    return 1;
  }

  int status = 0;
  std::vector<std::string> problems = drawn.status.messages();
  if (drawn.outcome == DrawOutcome::kNothingToDraw) {
    // The window stays silent here; a script learns that its plot is empty.
    std::string note = "nothing drawn: the F field holds no formula behind its label";
    if (session.report) note += "; no report written to " + *session.report;
    problems.push_back(note);
  } else if (session.report && !drawn.reportWritten && drawn.status.ok()) {
    problems.push_back("polar plots have no report; nothing written to " + *session.report);
  }
  for (const std::string& problem : problems) {  // the picture is still saved
    err << "kurvana-cli: " << problem << '\n';
    status = 1;
  }
  if (session.picture) {
    const std::string& picture = *session.picture;
    const Status saved = controller.savePicture(picture, formatOfName(picture));
    if (!saved.ok()) {
      for (const std::string& problem : saved.messages()) err << "kurvana-cli: " << problem << '\n';
      return 1;
    }
  }
  out << "x min = " << view.fieldText(Field::kXMin) << '\n'
      << "x max = " << view.fieldText(Field::kXMax) << '\n'
      << "y min = " << view.fieldText(Field::kYMin) << '\n'
      << "y max = " << view.fieldText(Field::kYMax) << '\n';
  if (!isOn(s.optTwoFunctions) && !isOn(s.optPolar)) {
    std::string integral = view.labels[Label::kIntegral];
    if (integral.starts_with("= ")) integral.erase(0, 2);
    out << "integral = " << integral << '\n';
  }
  return status;
}

int runSaveFunction(std::span<const std::string_view> args, std::ostream& err) {
  Session session(std::nullopt);
  if (const auto status = applyOptions(args, session, true, err)) return *status;
  if (session.positional.size() != 1) return usageError(err, "save-function needs one PATH");
  const std::string& path = session.positional.front();
  PlotState& s = session.controller.app().plot;
  if (const auto two = twoFunctionsFromName(path)) s.optTwoFunctions = *two ? flagOn : flagOff;
  const Status saved = session.controller.saveFunction(path);
  for (const std::string& problem : saved.messages()) err << "kurvana-cli: " << problem << '\n';
  return saved.ok() ? 0 : 1;
}

}  // namespace kurvana::cli
