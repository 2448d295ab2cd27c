// What the program does around a Draw: the cursor ring is removed first, the
// formulas go into the history and the report is written into the data folder
// and opened.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/draw_command.h"
#include "explore/cursor_readout.h"
#include "explore/report.h"
#include "explore/report_opener.h"
#include "files/history.h"
#include "plot/plot_view.h"

namespace kurvana {

class ProgramHooks : public DrawHooks {
 public:
  // `folder` is the data folder (history and report are written only when
  // there is one); `opener` opens the report, null to leave it unopened.
  ProgramHooks(Application& app, PlotView& view, std::optional<std::filesystem::path> folder,
               ReportOpener* opener = nullptr)
      : app_(app), view_(view), folder_(std::move(folder)), opener_(opener) {}

  void eraseCircle() override { kurvana::eraseCircle(app_.plot, app_.image, app_.explore); }

  // A failed write does not stop the Draw; its message waits in lastError for
  // the window to show.
  void recordHistory(const std::string& f, const std::string* g) override {
    if (folder_) lastError = kurvana::recordHistory(app_.history, *folder_, f, g);
  }

  // The editor opens only for a report that was written whole.
  void report() override {
    if (!folder_) return;
    const std::filesystem::path file = *folder_ / kReportFileName;
    const std::string problem =
        writeReport(file, app_.plot, view_, app_.texts, app_.decimalSeparator);
    if (!problem.empty()) {
      lastError = problem;
      return;
    }
    if (opener_ != nullptr) opener_->open(file);
  }

  std::string lastError;

 private:
  Application& app_;
  PlotView& view_;
  std::optional<std::filesystem::path> folder_;
  ReportOpener* opener_;
};

}  // namespace kurvana
