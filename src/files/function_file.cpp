#include "files/function_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

#include "files/atomic_file.h"

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
  void flag(std::string_view key, std::optional<bool> flag) {
    value(key, flag.value_or(false) ? "true" : "false");
  }

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

}  // namespace

std::string functionFileText(const FunctionFileContents& c) {
  const auto text = [&c](Field f) { return textOf(c.texts, f); };
  Writer w;
  w.line(oneLine(text(Field::kFormulaF)));
  if (c.twoFunctions) w.line(oneLine(text(Field::kFormulaG)));
  w.flag("polar = ", c.polar);
  w.value("x min = ", text(Field::kXMin));
  w.value("x max = ", text(Field::kXMax));
  w.value("y min = ", text(Field::kYMin));
  w.value("y max = ", text(Field::kYMax));
  if (c.hasZRange()) {
    w.value("Zaxis = ", text(Field::kZCount));
    w.value("z min = ", text(Field::kZMin));
    w.value("z max = ", text(Field::kZMax));
  }
  w.value("color = ", std::to_string(static_cast<std::int32_t>(c.color.value_or(0) & 0xFFFFFFu)));
  w.flag("fill  = ", c.filled);
  w.flag("lines = ", c.lines);
  w.flag("antia = ", c.antialias);
  w.flag("wback = ", c.whiteBack);
  w.flag("axes  = ", c.axes);
  w.flag("grid  = ", c.grid);
  w.flag("dark  = ", c.darkNegative);
  w.flag("thick = ", c.thick);
  w.flag("auto  = ", c.autoScale);
  return w.out;
}

FunctionFileContents parseFunctionFile(std::string_view text, bool twoFunctions) {
  Lines lines(text);
  FunctionFileContents c;
  c.twoFunctions = twoFunctions;
  textOf(c.texts, Field::kFormulaF) = lines.text();
  if (twoFunctions) textOf(c.texts, Field::kFormulaG) = lines.text();
  c.polar = lines.flag();
  for (Field f : {Field::kXMin, Field::kXMax, Field::kYMin, Field::kYMax}) {
    textOf(c.texts, f) = lines.value();
  }
  if (c.hasZRange()) {
    for (Field f : {Field::kZCount, Field::kZMin, Field::kZMax}) textOf(c.texts, f) = lines.value();
  }

  // The option block: what the file does not reach stays nothing.
  if (!lines.atEnd()) {
    const std::string value = lines.value();
    std::int32_t color = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), color);
    c.colorLine = true;
    if (error == std::errc() && end == value.data() + value.size() && !value.empty()) {
      c.color = static_cast<Color>(color) & 0xFFFFFFu;
    }
  }
  if (!lines.atEnd()) {
    const bool filled = lines.flag();
    if (!twoFunctions) c.filled = filled;  // two-function plots have no fill: the line is skipped
  }
  for (std::optional<bool>* option : {&c.lines, &c.antialias, &c.whiteBack, &c.axes, &c.grid,
                                      &c.darkNegative, &c.thick, &c.autoScale}) {
    if (!lines.atEnd()) *option = lines.flag();
  }
  return c;
}

Status writeFunctionFile(const std::filesystem::path& path, const FunctionFileContents& contents) {
  return writeFileAtomically(path, functionFileText(contents));
}

FunctionFileRead readFunctionFile(const std::filesystem::path& path, bool twoFunctions) {
  FileContents contents = readFile(path, kMaxFileBytes);
  if (!contents.bytes) return {std::nullopt, std::move(contents.status)};
  return {parseFunctionFile(*contents.bytes, twoFunctions), Status()};
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
