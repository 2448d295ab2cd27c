// The message window: the Draw command's three lines under a warning sign,
// with an OK button; borderless, on top, not modal.
#pragma once

#include <array>
#include <string_view>

#include "ui/dialog_window.h"

namespace kurvana::ui {

class MessageWindow : public DialogWindow {
  Q_OBJECT

 public:
  static constexpr QSize kSize{586, 282};

  explicit MessageWindow(QWidget* mainWindow);

  // Replaces the lines; a line wider than its label is cut at the right edge.
  void setLines(std::string_view line1, std::string_view line2, std::string_view line3);
  // The lines replaced, then shown (centred on the main window when it was
  // hidden) and activated.
  void showLines(std::string_view line1, std::string_view line2, std::string_view line3);

  QString line(int i) const { return lines_.at(static_cast<std::size_t>(i))->text(); }
  RoundButton* okButton() const { return ok_; }

 private:
  std::array<QLabel*, 3> lines_{};
  RoundButton* ok_;
};

}  // namespace kurvana::ui
