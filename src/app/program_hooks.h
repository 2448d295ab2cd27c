// What the program does around a Draw: the formula history is recorded in the
// data folder. The window adds the report and the cursor ring later.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/draw_command.h"
#include "files/history.h"

namespace kurvana {

class ProgramHooks : public DrawHooks {
 public:
  ProgramHooks(FormulaHistory& history, std::optional<std::filesystem::path> folder)
      : history_(history), folder_(std::move(folder)) {}

  // A failed write does not stop the Draw; the message waits in lastError
  // for the window to show.
  void recordHistory(const std::string& f, const std::string* g) override {
    if (folder_) lastError = kurvana::recordHistory(history_, *folder_, f, g);
  }

  std::string lastError;

 private:
  FormulaHistory& history_;
  std::optional<std::filesystem::path> folder_;
};

}  // namespace kurvana
