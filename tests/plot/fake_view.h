// A window that keeps the window's state in memory and records every write.
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

namespace kurvana::testing {

class FakeView : public AppView {
 public:
  std::string fieldText(Field field) const override {
    const auto it = texts.find(field);
    return it == texts.end() ? std::string() : it->second;
  }
  void setFieldText(Field field, std::string_view text) override {
    texts[field] = std::string(text);
    writes.emplace_back(field, std::string(text));
  }
  void setFieldEnabled(Field field, bool isEnabled) override { enabled[field] = isEnabled; }

  void setFieldColor(Field field, std::uint32_t color) override {
    colors[field] = color;
    colorWrites.emplace_back(field, color);
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
    messages.push_back({std::string(line1), std::string(line2), std::string(line3)});
  }
  void arrangeFormulaArea(FormulaArea area) override { formulaAreas.push_back(area); }
  void showFileName(std::string_view name) override { fileName = std::string(name); }
  void showInterfaceTexts(const InterfaceTexts& texts) override { shownTexts = texts; }

  // Draws that compiled every formula: each one turns the G field black.
  int compiledDraws() const {
    int n = 0;
    for (const auto& [field, color] : colorWrites) n += field == Field::kFormulaG && color == 0;
    return n;
  }

  // Fields that were never disabled count as enabled, as in the window.
  bool isEnabled(Field field) const {
    const auto it = enabled.find(field);
    return it == enabled.end() || it->second;
  }

  std::map<Field, std::string> texts;
  std::map<Field, bool> enabled;
  std::vector<std::pair<Field, std::string>> writes;  // setFieldText calls in order
  std::map<Field, std::uint32_t> colors;
  std::vector<std::pair<Field, std::uint32_t>> colorWrites;
  std::optional<Field> focused;
  std::map<Label, std::string> labels;
  std::map<Toggle, bool> toggles;
  std::optional<std::uint32_t> swatch;
  Size window{1024, 768};
  struct Placement {
    int left = 0, top = 0, width = 0, height = 0;
  } image;
  int beeps = 0;
  std::vector<std::array<std::string, 3>> messages;
  std::vector<FormulaArea> formulaAreas;
  std::optional<std::string> fileName;
  std::optional<InterfaceTexts> shownTexts;
};

}  // namespace kurvana::testing
