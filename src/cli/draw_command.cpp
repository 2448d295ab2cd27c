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

#include "app/application.h"
#include "app/draw_command.h"
#include "app/memory_view.h"
#include "explore/report.h"
#include "cli/usage.h"
#include "files/function_file.h"
#include "files/picture_file.h"
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

bool isJpegName(std::string_view path) {
  std::string lower(path);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return lower.ends_with(".jpg") || lower.ends_with(".jpeg");
}

// The tool's window: the application, the fields, and what the options say.
struct Session {
  std::unique_ptr<Application> app = std::make_unique<Application>();
  MemoryView view;
  Size image{824, 668};
  std::optional<std::string> picture;
  std::optional<std::string> report;
  std::vector<std::string> positional;

  Session() {
    PlotState& s = app->plot;
    const std::string_view sep = app->decimalSeparator;
    // The fields as a first start shows them.
    writeXRange(s, view, sep);
    writeYRange(s, view, sep);
    view.fields[Field::kZMin] = formatGeneral(s.zMin, sep);
    view.fields[Field::kZMax] = formatGeneral(s.zMax, sep);
    view.fields[Field::kZCount] = std::to_string(s.zCount);
    view.fields[Field::kFormulaF] = "F(x)=";
    view.fields[Field::kFormulaG] = "G(x)=";
  }
};

// Applies the options in order, a function file named by --file first.
// Returns an exit status when the command cannot go on.
std::optional<int> applyOptions(std::span<const std::string_view> args, Session& session,
                                bool positionalAllowed, std::ostream& err) {
  PlotState& s = session.app->plot;
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--file") continue;
    const std::string path(args[i + 1]);
    if (const auto two = twoFunctionsFromName(path)) s.optTwoFunctions = *two ? flagOn : flagOff;
    const std::string problem = readFunctionFile(s, session.view, path);
    if (!problem.empty()) {
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
                            arg == "--file" ||
                            ((arg == "-o" || arg == "--report") && !positionalAllowed);
    if (!takesValue) return usageError(err, "unknown option: " + std::string(arg));
    if (i + 1 >= args.size()) return usageError(err, "missing value after " + std::string(arg));
    const std::string_view value = args[++i];
    if (const auto field = kFieldOptions.find(arg); field != kFieldOptions.end()) {
      session.view.fields[field->second] = std::string(value);
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
    } else if (arg == "-o") {
      session.picture = std::string(value);
    } else if (arg == "--report") {
      session.report = std::string(value);
    }
  }
  return std::nullopt;
}

// The Draw's report goes to the named file and is not opened.
class ReportToFile : public DrawHooks {
 public:
  ReportToFile(Application& app, const PlotView& view, std::string path)
      : app_(app), view_(view), path_(std::move(path)) {}

  void report() override {
    written = true;
    problem = writeReport(path_, app_.plot, view_, app_.texts, app_.decimalSeparator);
  }

  bool written = false;
  std::string problem;

 private:
  Application& app_;
  const PlotView& view_;
  std::string path_;
};

}  // namespace

int runDraw(std::span<const std::string_view> args, std::ostream& out, std::ostream& err) {
  Session session;
  if (const auto status = applyOptions(args, session, false, err)) return *status;
  if (session.picture && session.picture->empty()) return usageError(err, "empty picture name");
  if (session.report && session.report->empty()) return usageError(err, "empty report name");
  if (!session.picture && !session.report) return usageError(err, "missing -o PICTURE");
  Application& app = *session.app;
  PlotState& s = app.plot;
  MemoryView& view = session.view;

  view.window =
      Size{session.image.width + kWindowExtraWidth, session.image.height + kWindowExtraHeight};
  RenderContext context = app.renderContext(view);
  setbg(s);
  set2d(context);
  if (session.report) s.optReport = flagOn;
  ReportToFile hooks(app, view, session.report.value_or(""));
  sb1MouseDown(context, app.texts, hooks);
  if (view.message) {  // the Draw stopped; the window would show these lines
    for (const std::string& line : *view.message) err << line << '\n';
    return 1;
  }

  int status = 0;
  if (session.report && !hooks.written) {
    hooks.problem = "polar plots have no report; nothing written to " + *session.report;
  }
  if (!hooks.problem.empty()) {  // the picture is still saved
    err << "kurvana-cli: " << hooks.problem << '\n';
    status = 1;
  }
  if (session.picture) {
    const std::string& picture = *session.picture;
    const std::string problem =
        isJpegName(picture) ? writeJpegFile(app.image, picture) : writeBmpFile(app.image, picture);
    if (!problem.empty()) {
      err << "kurvana-cli: " << problem << '\n';
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
  Session session;
  if (const auto status = applyOptions(args, session, true, err)) return *status;
  if (session.positional.size() != 1) return usageError(err, "save-function needs one PATH");
  const std::string& path = session.positional.front();
  PlotState& s = session.app->plot;
  if (const auto two = twoFunctionsFromName(path)) s.optTwoFunctions = *two ? flagOn : flagOff;
  const std::string problem = saveFunctionFile(s, session.view, path);
  if (!problem.empty()) {
    err << "kurvana-cli: " << problem << '\n';
    return 1;
  }
  return 0;
}

}  // namespace kurvana::cli
