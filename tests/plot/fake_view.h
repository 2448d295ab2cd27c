// A PlotView that keeps field texts and enabled states in memory and records every write.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "plot/plot_view.h"

namespace kurvana::testing {

class FakeView : public PlotView {
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

  // Fields that were never disabled count as enabled, as in the window.
  bool isEnabled(Field field) const {
    const auto it = enabled.find(field);
    return it == enabled.end() || it->second;
  }

  std::map<Field, std::string> texts;
  std::map<Field, bool> enabled;
  std::vector<std::pair<Field, std::string>> writes;  // setFieldText calls in order
};

}  // namespace kurvana::testing
