// A window without a screen: fields and labels held as text, the last message
// kept. kurvana-cli and the benchmarks drive the core through it.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_view.h"

namespace kurvana {

class MemoryView : public AppView {
 public:
  std::string fieldText(Field field) const override {
    const auto it = fields.find(field);
    return it == fields.end() ? std::string() : it->second;
  }
  void setFieldText(Field field, std::string_view text) override {
    fields[field] = std::string(text);
  }
  void setFieldEnabled(Field, bool) override {}
  void setFieldColor(Field, std::uint32_t) override {}
  void focusField(Field) override {}
  void setLabel(Label label, std::string_view text) override { labels[label] = std::string(text); }
  void showToggle(Toggle, bool) override {}
  void showCurveColor(std::uint32_t) override {}
  Size windowSize() const override { return window; }
  void placeImage(int, int, int, int) override {}
  void beep() override {}
  void showMessage(std::string_view line1, std::string_view line2,
                   std::string_view line3) override {
    message = {std::string(line1), std::string(line2), std::string(line3)};
  }
  void arrangeFormulaArea(FormulaArea area) override { formulaArea = area; }
  void showFileName(std::string_view name) override { fileName = std::string(name); }
  void showInterfaceTexts(const InterfaceTexts&) override {}

  std::map<Field, std::string> fields;
  std::map<Label, std::string> labels;
  Size window{1024, 768};
  std::optional<std::array<std::string, 3>> message;
  FormulaArea formulaArea = FormulaArea::kOneFunction;
  std::string fileName;
};

}  // namespace kurvana
