#include "files/function_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "files/atomic_file.h"
#include "plot/range_fields.h"
#include "render/plot_frame.h"

namespace kurvana {
namespace {

constexpr std::size_t kKeyLength = 8;
// A function file is 20 short lines; more than this is not one.
constexpr std::size_t kMaxFileBytes = 1 << 20;

// A field text on one line of the file.
std::string oneLine(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return text;
}

class Writer {
 public:
  void line(std::string_view text) {
    out += text;
    out += "\r\n";
  }
  void value(std::string_view key, std::string_view text) {
    line(std::string(key) + oneLine(std::string(text)));
  }
  void flag(std::string_view key, std::uint8_t flag) { value(key, isOn(flag) ? "true" : "false"); }

  std::string out;
};

// The lines of a file, LF or CR LF ended; past the end every line is empty.
class Lines {
 public:
  explicit Lines(std::string_view contents) {
    std::size_t start = 0;
    while (start < contents.size()) {
      std::size_t end = contents.find('\n', start);
      if (end == std::string_view::npos) end = contents.size();
      std::string_view line = contents.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.emplace_back(line);
      start = end + 1;
    }
  }
  bool atEnd() const { return next_ >= lines_.size(); }
  std::string text() { return atEnd() ? std::string() : lines_[next_++]; }
  // The line without its 8-character key.
  std::string value() {
    const std::string line = text();
    return line.size() > kKeyLength ? line.substr(kKeyLength) : std::string();
  }
  bool flag() {
    std::string v = value();
    std::transform(v.begin(), v.end(), v.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return v == "TRUE";
  }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

std::uint8_t asFlag(bool on) {
  return on ? flagOn : flagOff;
}

}  // namespace

std::string functionFileText(const PlotState& s, const PlotView& view) {
  const bool two = isOn(s.optTwoFunctions);
  const bool polar = isOn(s.optPolar);
  Writer w;
  w.line(oneLine(view.fieldText(Field::kFormulaF)));
  if (two) w.line(oneLine(view.fieldText(Field::kFormulaG)));
  w.flag("polar = ", s.optPolar);
  w.value("x min = ", view.fieldText(Field::kXMin));
  w.value("x max = ", view.fieldText(Field::kXMax));
  w.value("y min = ", view.fieldText(Field::kYMin));
  w.value("y max = ", view.fieldText(Field::kYMax));
  if (two || polar) {
    w.value("Zaxis = ", view.fieldText(Field::kZCount));
    w.value("z min = ", view.fieldText(Field::kZMin));
    w.value("z max = ", view.fieldText(Field::kZMax));
  }
  w.value("color = ", std::to_string(static_cast<std::int32_t>(s.curveColor & 0xFFFFFFu)));
  w.flag("fill  = ", s.optFilled);
  w.flag("lines = ", s.optLines);
  w.flag("antia = ", s.optAntialias);
  w.flag("wback = ", s.optWhiteBack);
  w.flag("axes  = ", s.optAxes);
  w.flag("grid  = ", s.optGrid);
  w.flag("dark  = ", s.optDarkNegative);
  w.flag("thick = ", s.optThick);
  w.flag("auto  = ", s.optAutoScale);
  return w.out;
}

std::string saveFunctionFile(const PlotState& state, const PlotView& view,
                             const std::filesystem::path& path) {
  return writeFileAtomically(path, functionFileText(state, view));
}

void applyFunctionFile(PlotState& s, PlotView& view, std::string_view contents) {
  Lines lines(contents);
  const Color remembered = s.curveColor;
  const bool two = isOn(s.optTwoFunctions);
  view.setFieldText(Field::kFormulaF, lines.text());
  if (two) view.setFieldText(Field::kFormulaG, lines.text());
  s.optPolar = asFlag(lines.flag());
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) {
    view.setFieldText(f, lines.value());
  }
  if (two || isOn(s.optPolar)) {
    for (Field f : {Field::kZCount, Field::kZMin, Field::kZMax})
      view.setFieldText(f, lines.value());
  }

  // The option block: what the file does not reach keeps its value.
  if (!lines.atEnd()) {
    const std::string text = lines.value();
    std::int32_t color = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), color);
    const bool parsed = error == std::errc() && end == text.data() + text.size() && !text.empty();
    setCurveColor(s, parsed ? static_cast<Color>(color) & 0xFFFFFFu : remembered);
    view.showCurveColor(s.curveColor);
  }
  if (!lines.atEnd()) {
    const bool filled = lines.flag();
    if (!two) {  // two-function plots have no fill: the line is skipped
      s.optFilled = asFlag(filled);
      view.showToggle(Toggle::kFilled, filled);
    }
  }
  if (!lines.atEnd()) {
    s.optLines = asFlag(lines.flag());
    view.showToggle(Toggle::kLines, isOn(s.optLines));
  }
  if (!lines.atEnd()) s.optAntialias = asFlag(lines.flag());
  if (!lines.atEnd()) {
    s.optWhiteBack = asFlag(lines.flag());
    setbg(s);
  }
  if (!lines.atEnd()) s.optAxes = asFlag(lines.flag());
  if (!lines.atEnd()) s.optGrid = asFlag(lines.flag());
  if (!lines.atEnd()) s.optDarkNegative = asFlag(lines.flag());
  if (!lines.atEnd()) s.optThick = asFlag(lines.flag());
  if (!lines.atEnd()) {
    s.optAutoScale = asFlag(lines.flag());
    view.showToggle(Toggle::kAutoScale, isOn(s.optAutoScale));
  }
  doauto(s, view);
}

std::string readFunctionFile(PlotState& state, PlotView& view, const std::filesystem::path& path) {
  const FileContents contents = readFile(path, kMaxFileBytes);
  if (!contents.bytes) return contents.problem;
  applyFunctionFile(state, view, *contents.bytes);
  return {};
}

std::optional<bool> twoFunctionsFromName(std::string_view name) {
  std::string lower(name);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (lower.find(".kv2") != std::string::npos) return true;
  if (lower.find(".kv1") != std::string::npos) return false;
  return std::nullopt;
}

}  // namespace kurvana
