// A window without a screen: the fields, labels, toggles and the last message
// held in memory. kurvana-cli and the benchmarks drive the controller through
// it; the tests do too, with `keepLog` set, which also keeps every write in
// order.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_view.h"

namespace kurvana {

class MemoryView : public AppView {
 public:
  std::string fieldText(Field field) const override {
    const auto it = texts.find(field);
    return it == texts.end() ? std::string() : it->second;
  }
  void setFieldText(Field field, std::string_view text) override {
    texts[field] = std::string(text);
    if (keepLog) writes.emplace_back(field, std::string(text));
  }
  void setFieldEnabled(Field field, bool isEnabled) override { enabled[field] = isEnabled; }
  void setFieldColor(Field field, std::uint32_t color) override {
    colors[field] = color;
    if (keepLog) colorWrites.emplace_back(field, color);
  }
  void focusField(Field field) override { focused = field; }
  void setLabel(Label label, std::string_view text) override { labels[label] = std::string(text); }
  void showToggle(Toggle toggle, bool on) override { toggles[toggle] = on; }
  void showCurveColor(std::uint32_t color) override { swatch = color; }
  Size windowSize() const override { return window; }
  void placeImage(int left, int top, int width, int height) override {
    image = {left, top, width, height};
  }
  void beep() override { ++beeps; }
  void showMessage(std::string_view line1, std::string_view line2,
                   std::string_view line3) override {
    message = {std::string(line1), std::string(line2), std::string(line3)};
    if (keepLog) messages.push_back(*message);
  }
  void arrangeFormulaArea(FormulaArea area) override {
    formulaArea = area;
    if (keepLog) formulaAreas.push_back(area);
  }
  void showFileName(std::string_view name) override { fileName = std::string(name); }
  void showInterfaceTexts(const InterfaceTexts& shown) override { shownTexts = shown; }
  void copyPicture(const Bitmap& picture) override { copied = picture; }

  // Fields that were never disabled count as enabled, as in the window.
  bool isEnabled(Field field) const {
    const auto it = enabled.find(field);
    return it == enabled.end() || it->second;
  }
  // Draws that compiled every formula: each one turns the G field black
  // (counted while the log is kept).
  int compiledDraws() const {
    int n = 0;
    for (const auto& [field, color] : colorWrites) n += field == Field::kFormulaG && color == 0;
    return n;
  }

  // The window's state.
  std::map<Field, std::string> texts;
  std::map<Field, bool> enabled;
  std::map<Field, std::uint32_t> colors;
  std::optional<Field> focused;
  std::map<Label, std::string> labels;
  std::map<Toggle, bool> toggles;
  std::optional<std::uint32_t> swatch;
  Size window{1024, 768};
  struct Placement {
    int left = 0, top = 0, width = 0, height = 0;
  } image;
  int beeps = 0;
  std::optional<std::array<std::string, 3>> message;  // the last one shown
  FormulaArea formulaArea = FormulaArea::kOneFunction;
  std::optional<std::string> fileName;
  std::optional<InterfaceTexts> shownTexts;
  std::optional<Bitmap> copied;  // the last picture put on the clipboard

  // Every write in order, while `keepLog` is set.
  bool keepLog = false;
  std::vector<std::pair<Field, std::string>> writes;
  std::vector<std::pair<Field, std::uint32_t>> colorWrites;
  std::vector<std::array<std::string, 3>> messages;
  std::vector<FormulaArea> formulaAreas;
};

}  // namespace kurvana
